#include "engine/io/pass_through.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/io/content_hash.h"
#include "engine/io/file_info.h"
#include "engine/io/read_whole_file.h"

namespace quillow {

PassThroughResult passThrough(const ScanResult& result, int fd, Work& work)
{
    constexpr size_t kBlock = size_t{4} << 20;
    const bool fromFile = result.source && result.source->onDisk();
    const std::string_view bytes = result.source && !fromFile ? result.source->bytes() : std::string_view();
    int in = -1;
    if (fromFile) {
        int error = 0;
        in = openRegularFile(result.file, error);
        if (in < 0)
            return {PassThroughOutcome::SourceUnreadable, error};
    }
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{in};
    std::string buffer;
    ContentHash reread;
    for (uint64_t at = 0;;) {
        std::string_view block = bytes.substr(std::min<uint64_t>(at, bytes.size()), kBlock);
        if (fromFile) {
            buffer.resize(kBlock);
            try {
                block = std::string_view(buffer.data(), readFileAt(in, buffer.data(), kBlock, at));
            } catch (const ReadError& e) {
                return {PassThroughOutcome::SourceUnreadable, e.error};
            }
            reread.add(block);
        }
        if (block.empty())
            break;
        for (size_t done = 0; done < block.size();) {
            // Pages of a mapping the file lost read as zeros: none goes out.
            if (result.source && result.source->damaged())
                return {PassThroughOutcome::SourceChanged, kChangedWhileReadError};
            const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
            if (n < 0 && errno == EINTR) {
                if (work.checkIn())
                    return {PassThroughOutcome::Stopped, 0};
                continue;
            }
            if (n < 0 && errno == EFAULT && !fromFile)
                return {PassThroughOutcome::SourceChanged, kChangedWhileReadError};
            if (n <= 0)
                return {PassThroughOutcome::WriteFailed, n < 0 ? errno : EIO};
            done += static_cast<size_t>(n);
            // A short write: a signal came while the reader lagged.
            if (done < block.size() && work.checkIn())
                return {PassThroughOutcome::Stopped, 0};
        }
        at += block.size();
        if (work.checkIn())
            return {PassThroughOutcome::Stopped, 0};
    }
    if (fromFile && reread.value() != result.contentHash)
        return {PassThroughOutcome::SourceChanged, kChangedWhileReadError};
    if (!result.fromStream && identityOf(result.file) != result.identity)
        return {PassThroughOutcome::SourceChanged, kChangedWhileReadError};
    return {};
}

}  // namespace quillow
