#pragma once
// Reads a whole file into one buffer: the scan needs every line at once.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/runtime/big_allocator.h"
#include "engine/io/file_bytes.h"
#include "engine/io/file_info.h"

namespace quillow {

class SpillFile;

// Why a file could not be read: it could not be opened (or is no regular
// file), it holds nothing, or reading it failed; error is the system's error
// number (or kNotRegularError, or 0).
enum class ReadFailure { CannotOpen, Empty, FileError };
struct ReadError {
    ReadFailure kind = ReadFailure::FileError;
    int error = 0;
};

// Reads count bytes of fd at offset into to; fewer only at the end of the
// file. Throws ReadError (a read error).
size_t readFileAt(int fd, char* to, size_t count, uint64_t offset);

// Reads path: a big file is mapped (or, where it cannot be, read in two
// halves at the same time). Throws ReadError (cannot open, not a regular
// file, read error) or std::bad_alloc. identity (when given) receives the
// file's identity as it was opened, for the save to tell whether the file is
// still the one that was read.
FileBytes readWholeFile(const std::string& path, FileIdentity* identity = nullptr);

// Reads fd (standard input) from where it stands to its end, straight into
// the buffer; a regular file behind it is read like readWholeFile does. A
// pipe or terminal is waited on in short slices: stopRequested is asked
// between them, and when it says yes the read ends without a result. Throws
// ReadError or std::bad_alloc; leaves fd open.
// A stream of more than limit bytes is not read to its end: *complete
// (when given) is then false, the bytes are what was read (none of a
// regular file), and the rest waits in fd for spoolStream. onRead (when
// given) learns how many bytes are in after each read of a pipe.
std::optional<BigVector<char>> readWholeStream(int fd, const std::function<bool()>& stopRequested,
                                               size_t limit = SIZE_MAX, bool* complete = nullptr,
                                               const std::function<void(size_t)>& onRead = {});

// Copies head, then the rest of fd to its end, into file: a stream that does
// not fit in memory, to be scanned from there. False when stopRequested said
// yes. onRead (when given) learns how many bytes are copied after each read.
// Throws ReadError (the stream) or SpillError (the file).
bool spoolStream(std::string_view head, int fd, SpillFile& file, const std::function<bool()>& stopRequested,
                 const std::function<void(size_t)>& onRead = {});

}  // namespace quillow
