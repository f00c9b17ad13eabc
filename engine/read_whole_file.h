#pragma once
// Reads a whole file into one buffer: the scan needs every line at once.
#include <string>

#include "engine/big_allocator.h"

namespace quillow {

// Why a file could not be read; the text is the status the scan shows.
struct ReadError {
    const char* status;
};

// Reads path; a big file is read in two halves at the same time. Throws
// ReadError (cannot open, not a regular file, read error) or std::bad_alloc.
BigVector<char> readWholeFile(const std::string& path);

}  // namespace quillow
