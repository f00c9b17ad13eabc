#include "engine/io/file_info.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quillow {

FileInfo fileInfo(const std::string& path)
{
    FileInfo info;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return info;
    info.exists = true;
    info.size = st.st_size;
    info.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    return info;
}

int openRegularFile(const std::string& path, int& error, struct stat* st)
{
    struct stat own {};
    struct stat& info = st ? *st : own;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    error = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : kNotRegularError;
    // Reads of a regular file then block as usual.
    if (error == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error) {
        ::close(fd);
        return -1;
    }
    return fd;
}

FileIdentity identityOf(const struct stat& st)
{
    FileIdentity id;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<int64_t>(st.st_size);
    id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    id.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    return id;
}

std::optional<FileIdentity> identityOf(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return identityOf(st);
}

}  // namespace quillow
