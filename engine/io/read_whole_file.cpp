#include "engine/io/read_whole_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "engine/io/spill_file.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// The size bytes of a regular file from start on, and whatever it gained
// meanwhile.
BigVector<char> readRegular(int fd, off_t start, size_t size)
{
    BigVector<char> bytes;
    // One byte more than the size, so that meeting the end costs no growth
    // (and no second copy of a big file).
    bytes.resize(size + 1);
    const size_t half = size / 2;
    const bool split = worthTwoCores(static_cast<int64_t>(size), kTwoCoresFromBytes);
    size_t got[2] = {0, 0};
    onTwoCores(split, [&](int part) {
        if (part == 0)
            got[0] = readFileAt(fd, bytes.data(), half, static_cast<uint64_t>(start));
        if (part == 1 || !split)
            got[1] = readFileAt(fd, bytes.data() + half, size - half, static_cast<uint64_t>(start) + half);
    });
    size_t have = got[0] + got[1];
    if (got[0] < half)  // the file shrank under us: read it again in one go
        have = readFileAt(fd, bytes.data(), size, static_cast<uint64_t>(start));
    for (;;) {  // the file may also have grown
        if (have == bytes.size())
            bytes.resize(bytes.size() + (bytes.size() / 4) + 65536);
        size_t n = readFileAt(fd, bytes.data() + have, bytes.size() - have, static_cast<uint64_t>(start) + have);
        have += n;
        if (have < bytes.size())
            break;
    }
    bytes.resize(have);
    return bytes;
}

// Waits for fd in slices short enough to notice a stop, then reads up to n
// bytes into to: how many (0 at the end), or nothing when stopRequested
// said yes.
std::optional<size_t> readWhenReady(int fd, char* to, size_t n, const std::function<bool()>& stopRequested)
{
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        const int pollError = ready < 0 ? errno : 0;
        if (stopRequested && stopRequested())
            return std::nullopt;
        if (pollError && pollError != EINTR)
            throw ReadError{ReadFailure::FileError, pollError};
        if (ready <= 0)
            continue;
        const ssize_t got = ::read(fd, to, n);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            throw ReadError{ReadFailure::FileError, errno};
        }
        return static_cast<size_t>(got);
    }
}

// A pipe or terminal: read as it comes, up to a little more than limit.
std::optional<BigVector<char>> readPipe(int fd, const std::function<bool()>& stopRequested, size_t limit,
                                        bool& complete, const std::function<void(size_t)>& onRead)
{
    // A bigger pipe means fewer wake-ups; the system may refuse, which is fine.
#ifdef F_SETPIPE_SZ
    ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#endif
    constexpr size_t kSlice = size_t{1} << 20;
    // Never more than this: reading stops once past the limit.
    const size_t most = limit < SIZE_MAX - 2 * kSlice ? limit + 2 * kSlice : SIZE_MAX;
    BigVector<char> bytes;
    // Room for as much as the machine has memory: that only reserves address
    // space (pages are taken as the bytes arrive), and no growth copies the
    // buffer. Where the system refuses, the buffer grows by doubling.
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    try {
        if (pages > 0 && pageSize > 0)
            bytes.reserve(std::min(most, static_cast<size_t>(pages) * static_cast<size_t>(pageSize)));
    } catch (const std::bad_alloc&) {
    }
    bytes.resize(std::min(most, size_t{4} << 20));
    size_t have = 0;
    complete = false;
    while (have <= limit) {
        if (bytes.size() - have < kSlice)  // inside the reservation this moves nothing
            bytes.resize(std::min(bytes.size() * 2, std::max(most, bytes.size() + kSlice)));
        const std::optional<size_t> got = readWhenReady(fd, bytes.data() + have, bytes.size() - have, stopRequested);
        if (!got)
            return std::nullopt;
        if (*got == 0) {
            complete = true;
            break;
        }
        have += *got;
        if (onRead)
            onRead(have);
    }
    bytes.resize(have);
    return bytes;
}

}  // namespace

size_t readFileAt(int fd, char* to, size_t count, uint64_t offset)
{
    size_t have = 0;
    while (have < count) {
        ssize_t n = ::pread(fd, to + have, count - have, static_cast<off_t>(offset + have));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ReadError{ReadFailure::FileError, errno};
        }
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    return have;
}

FileBytes readWholeFile(const std::string& path, FileIdentity* identity)
{
    // Smaller files are read: their buffer costs little.
    constexpr size_t kMapFrom = size_t{1} << 20;
    struct stat st {};
    int error = 0;
    const int fd = openRegularFile(path, error, &st);
    if (fd < 0)
        throw ReadError{ReadFailure::CannotOpen, error};
    if (identity)
        *identity = identityOf(st);
    const auto size = static_cast<size_t>(st.st_size);
    std::optional<FileBytes> bytes = size >= kMapFrom ? FileBytes::map(fd, size) : std::nullopt;
    try {
        if (!bytes)
            bytes = FileBytes(readRegular(fd, 0, size));
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return std::move(*bytes);
}

std::optional<BigVector<char>> readWholeStream(int fd, const std::function<bool()>& stopRequested, size_t limit,
                                               bool* complete, const std::function<void(size_t)>& onRead)
{
    bool ended = true;
    if (!complete)
        complete = &ended;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw ReadError{ReadFailure::CannotOpen, errno};
    if (S_ISDIR(st.st_mode))
        throw ReadError{ReadFailure::CannotOpen, EISDIR};
    // A regular file of size 0 may only not tell its size (/proc): read as
    // it comes, like a pipe.
    if (!S_ISREG(st.st_mode) || st.st_size == 0)
        return readPipe(fd, stopRequested, limit, *complete, onRead);
    // A file given as standard input (< FILE) is read from where it stands,
    // as fast as a named one, and left at its end as a filter leaves it.
    off_t start = ::lseek(fd, 0, SEEK_CUR);
    if (start < 0 || start > st.st_size)
        start = start < 0 ? 0 : st.st_size;
    // Too big: left where it stands for spoolStream.
    *complete = static_cast<size_t>(st.st_size - start) <= limit;
    if (!*complete)
        return BigVector<char>();
    BigVector<char> bytes = readRegular(fd, start, static_cast<size_t>(st.st_size - start));
    ::lseek(fd, start + static_cast<off_t>(bytes.size()), SEEK_SET);
    return bytes;
}

bool spoolStream(std::string_view head, int fd, SpillFile& file, const std::function<bool()>& stopRequested,
                 const std::function<void(size_t)>& onRead)
{
    file.append(head);
    size_t copied = head.size();
    std::string block(size_t{4} << 20, '\0');
    for (;;) {
        const std::optional<size_t> got = readWhenReady(fd, block.data(), block.size(), stopRequested);
        if (!got)
            return false;
        if (*got == 0)
            return true;
        file.append(std::string_view(block.data(), *got));
        copied += *got;
        if (onRead)
            onRead(copied);
    }
}

}  // namespace quillow
