#pragma once
// What the scan and the save ask of the file system about one path.
#include <cstdint>
#include <string>

namespace quillow {

struct FileInfo {
    bool exists = false;          // a regular file, after following symlinks
    int64_t size = 0;
    int64_t modifiedSeconds = 0;  // mtime, whole seconds
};

FileInfo fileInfo(const std::string& path);
inline bool fileExists(const std::string& path) { return fileInfo(path).exists; }

// The modification time as fileInfo gives it; *ok (when given) is false and
// the result 0 when the path is not an existing regular file.
inline int64_t fileModifiedSeconds(const std::string& path, bool* ok = nullptr)
{
    FileInfo info = fileInfo(path);
    if (ok)
        *ok = info.exists;
    return info.modifiedSeconds;
}

}  // namespace quillow
