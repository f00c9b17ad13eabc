#include "engine/io/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace quillow {

namespace {
FileOps systemOps;
FileOps* current = &systemOps;
}  // namespace

int FileOps::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int FileOps::openat(int folder, const char* path, int flags, mode_t mode) { return ::openat(folder, path, flags, mode); }
ssize_t FileOps::read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }
ssize_t FileOps::write(int fd, const void* buf, size_t count) { return ::write(fd, buf, count); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int FileOps::fchown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags)
{
    return ::linkat(fromFolder, from, toFolder, to, flags);
}
int FileOps::renameat(int fromFolder, const char* from, int toFolder, const char* to)
{
    return ::renameat(fromFolder, from, toFolder, to);
}
int FileOps::unlink(const char* path) { return ::unlink(path); }
int FileOps::unlinkat(int folder, const char* path, int flags) { return ::unlinkat(folder, path, flags); }

FileOps& fileOps() { return *current; }

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(current) { current = &ops; }
ScopedFileOps::~ScopedFileOps() { current = previous_; }

}  // namespace quillow
