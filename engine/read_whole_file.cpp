#include "engine/read_whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/texts.h"
#include "engine/two_cores.h"

namespace quillow {

namespace {

// Reads count bytes at offset into to; fewer only at the end of the file.
size_t readAt(int fd, char* to, size_t count, off_t offset)
{
    size_t have = 0;
    while (have < count) {
        ssize_t n = ::pread(fd, to + have, count - have, offset + static_cast<off_t>(have));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ReadError{text::kFileError, errno};
        }
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    return have;
}

}  // namespace

BigVector<char> readWholeFile(const std::string& path, FileIdentity* identity)
{
    struct stat st {};
    int error = 0;
    const int fd = openRegularFile(path, error, &st);
    if (fd < 0)
        throw ReadError{text::kCannotOpen, error};
    if (identity)
        *identity = identityOf(st);
    BigVector<char> bytes;
    try {
        const size_t size = static_cast<size_t>(st.st_size);
        // One byte more than the size, so that meeting the end costs no
        // growth (and no second copy of a big file).
        bytes.resize(size + 1);
        const size_t half = size / 2;
        size_t got[2] = {0, 0};
        onTwoCores(worthTwoCores(static_cast<int64_t>(size), kTwoCoresFromBytes), [&](int part) {
            if (part == 0)
                got[0] = readAt(fd, bytes.data(), half, 0);
            if (part == 1 || !worthTwoCores(static_cast<int64_t>(size), kTwoCoresFromBytes))
                got[1] = readAt(fd, bytes.data() + half, size - half, static_cast<off_t>(half));
        });
        size_t have = got[0] + got[1];
        if (got[0] < half)  // the file shrank under us: read it again in one go
            have = readAt(fd, bytes.data(), size, 0);
        for (;;) {  // the file may also have grown
            if (have == bytes.size())
                bytes.resize(bytes.size() + (bytes.size() / 4) + 65536);
            size_t n = readAt(fd, bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
            have += n;
            if (have < bytes.size())
                break;
        }
        bytes.resize(have);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

}  // namespace quillow
