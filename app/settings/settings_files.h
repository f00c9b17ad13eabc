#pragma once
// The files the settings store reads, looked at before QSettings opens any:
// it would block for good on a FIFO and read a device without end.
#include <string>

namespace quillow {

// The first of the store's files (the user's and the system's, after
// symlinks) that exists but is not a regular file; empty when there is none.
// The store is then neither read nor written.
std::string unusableSettingsFile();

}  // namespace quillow
