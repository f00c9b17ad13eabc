#pragma once
// What the scan and the save ask of the file system about one path.
#include <cstdint>
#include <string>

namespace quillow {

struct FileInfo {
    bool exists = false;          // a regular file, after following symlinks
    int64_t size = 0;
    int64_t modifiedSeconds = 0;  // mtime in local time, truncated to seconds
};

FileInfo fileInfo(const std::string& path);
inline bool fileExists(const std::string& path) { return fileInfo(path).exists; }

}  // namespace quillow
