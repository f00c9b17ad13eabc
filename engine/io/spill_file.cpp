#include "engine/io/spill_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "engine/io/file_ops.h"
#include "engine/io/pending_temp_files.h"

namespace quillow {

std::string temporaryFolder()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? std::string(dir) : std::string("/tmp");
}

SpillFile::SpillFile() : folder_(temporaryFolder())
{
    // O_EXCL: the file can never be given a name.
    fd_ = fileOps().open(folder_.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        return;
    // A file system without unnamed files: a name of our own, gone at once.
    // Until it is gone it is registered, so a second signal removes it.
    std::string name = folder_ + "/quillow-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw SpillError{errno, folder_};
    PendingTempFile pending(name);
    if (fileOps().unlink(name.c_str()) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        throw SpillError{error, folder_};
    }
}

SpillFile::~SpillFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string SpillFile::path() const
{
    return "/proc/self/fd/" + std::to_string(fd_);
}

uint64_t SpillFile::append(std::string_view bytes)
{
    const uint64_t at = size_;
    while (!bytes.empty()) {
        const ssize_t n = fileOps().write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw SpillError{n < 0 && errno ? errno : ENOSPC, folder_};
        bytes.remove_prefix(static_cast<size_t>(n));
        size_ += static_cast<uint64_t>(n);
    }
    return at;
}

void SpillFile::read(uint64_t offset, char* to, size_t n) const
{
    size_t have = 0;
    while (have < n) {
        const ssize_t got = ::pread(fd_, to + have, n - have, static_cast<off_t>(offset + have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw SpillError{got < 0 ? errno : EIO, folder_, true};
        have += static_cast<size_t>(got);
    }
}

SpilledPartitions::SpilledPartitions(SpillFile& file, uint32_t count, size_t bufferBytes)
    : file_(file), bufferBytes_(bufferBytes), buffers_(count), chunks_(count), records_(count, 0)
{
}

void SpilledPartitions::add(uint32_t partition, std::string_view record)
{
    ++records_[partition];
    std::string& buffer = buffers_[partition];
    if (buffer.size() + record.size() > bufferBytes_ && !buffer.empty()) {
        write(partition, buffer);
        buffer.clear();
    }
    if (record.size() > bufferBytes_) {  // a record bigger than a buffer is a chunk of its own
        write(partition, record);
        return;
    }
    if (buffer.capacity() < bufferBytes_)
        buffer.reserve(bufferBytes_);
    buffer.append(record);
}

void SpilledPartitions::flush()
{
    for (uint32_t p = 0; p < count(); ++p) {
        if (!buffers_[p].empty())
            write(p, buffers_[p]);
        std::string().swap(buffers_[p]);
    }
    file_.append(staged_);
    std::string().swap(staged_);
}

void SpilledPartitions::write(uint32_t partition, std::string_view bytes)
{
    constexpr size_t kStage = size_t{4} << 20;
    chunks_[partition].push_back(Chunk{file_.size() + staged_.size(), bytes.size()});
    staged_.append(bytes);
    if (staged_.size() >= kStage) {
        file_.append(staged_);
        staged_.clear();
    }
}

}  // namespace quillow
