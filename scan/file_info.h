#pragma once
// What the scan and the save ask of a file by name: does it exist (as a
// regular file, after symlinks), and when was it last modified.
#include <cstdint>
#include <string>

namespace quillow {

// True for a regular file, following symlinks; directories, FIFOs, devices
// and dangling links do not count.
bool fileExists(const std::string& path);

// The file's last-modified time as local wall-clock time in whole seconds
// (seconds since 1970-01-01 00:00 local). The scan records it and the save
// compares it for equality. *ok (when given) says whether the file could be
// examined; the result is 0 when it could not.
int64_t fileModifiedSeconds(const std::string& path, bool* ok = nullptr);

}  // namespace quillow
