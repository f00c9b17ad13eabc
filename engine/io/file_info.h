#pragma once
// What the scan and the save ask of the file system about one path.
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace quillow {

struct FileInfo {
    bool exists = false;          // a regular file, after following symlinks
    int64_t size = 0;
    int64_t modifiedSeconds = 0;  // mtime, whole seconds
};

// Error numbers of the engine's own, beside the system's (which are
// positive). kNotRegularError: the path names something other than a regular
// file (a folder, a FIFO, a device). kChangedWhileReadError: the file shrank
// or was replaced while it was read, so what was read cannot stand.
// kUnsafeLinkError: a symbolic link in a sticky world-writable folder that
// belongs neither to the caller nor to the folder's owner, which the save
// does not follow (the kernel's fs.protected_symlinks rule).
inline constexpr int kNotRegularError = -1;
inline constexpr int kChangedWhileReadError = -2;
inline constexpr int kUnsafeLinkError = -3;

FileInfo fileInfo(const std::string& path);
inline bool fileExists(const std::string& path) { return fileInfo(path).exists; }

// Which file a path names and in what state: the same file (device and
// inode) with the same size, modification time and change time to the
// nanosecond. The change time moves with every write and cannot be set back,
// so an editor that restores the modification time is still noticed.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = -1;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Opens path for reading when it is a regular file: a descriptor, or -1
// with error set to the system's error or kNotRegularError. Something else
// put in the file's place never blocks the open (a FIFO); st (when given)
// receives what fstat says.
int openRegularFile(const std::string& path, int& error, struct stat* st = nullptr);

FileIdentity identityOf(const struct stat& st);
// The identity of the regular file path names (after symlinks); nullopt
// when there is none.
std::optional<FileIdentity> identityOf(const std::string& path);

}  // namespace quillow
