#pragma once
// The file-system calls the save makes, behind one small interface so tests
// can make the n-th write, the fsync or the rename fail. Production code uses
// the system calls directly (SystemFileOps).
#include <sys/stat.h>
#include <sys/types.h>

namespace quillow {

class FileOps {
public:
    virtual ~FileOps() = default;
    // Each returns what the system call returns and sets errno alike.
    virtual int open(const char* path, int flags, mode_t mode);
    virtual int openat(int folder, const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buf, size_t count);
    virtual ssize_t write(int fd, const void* buf, size_t count);
    virtual int fsync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int close(int fd);
    virtual int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    virtual int renameat(int fromFolder, const char* from, int toFolder, const char* to);
    virtual int unlink(const char* path);
    virtual int unlinkat(int folder, const char* path, int flags);
};

using SystemFileOps = FileOps;

// The operations in force; the system calls unless a test installed others.
FileOps& fileOps();

// Installs ops for the lifetime of the object (tests only).
class ScopedFileOps {
public:
    explicit ScopedFileOps(FileOps& ops);
    ~ScopedFileOps();
    ScopedFileOps(const ScopedFileOps&) = delete;
    ScopedFileOps& operator=(const ScopedFileOps&) = delete;

private:
    FileOps* previous_;
};

}  // namespace quillow
