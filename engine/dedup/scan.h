#pragma once
// The scan: read a file (or a stream), build a key per line, and list every
// occurrence of every key found at least twice. A file that does not fit in
// the memory the options allow is scanned through hash partitions on disk.
#include <optional>
#include <string>

#include "engine/dedup/scan_result.h"
#include "engine/io/read_whole_file.h"
#include "engine/options.h"
#include "engine/text/text_encoding.h"
#include "engine/runtime/work.h"

namespace quillow {

enum class ScanStatus {
    Completed,  // read and compared; result.ready says whether duplicates were found
    Empty,      // the input holds no bytes
    Failed,     // the input could not be read (failure says why)
    Stopped,    // the stop token ended it; the lists hold what was done
};

// Why a scan failed. file names the input, or the temporary folder for a
// spill failure; error is the system's error number (or kNotRegularError, or 0).
struct ScanFailure {
    enum class Kind { Read, Encoding, OutOfMemory, Spill, SpillRead };
    Kind kind = Kind::Read;
    ReadFailure read = ReadFailure::FileError;
    EncodingRefusal encoding;
    std::string file;
    int error = 0;
    // The lists the scan had built are no use (memory or disk ran out).
    bool dropLists() const { return kind == Kind::OutOfMemory || kind == Kind::Spill || kind == Kind::SpillRead; }
};

struct Scanned {
    ScanStatus status = ScanStatus::Failed;
    ScanFailure failure;
    // The lists and what the scan learnt; after a failure or a stop, what
    // it had built (lists may be null), with file cleared and ready false.
    ScanResult result;
};

// A file the scan can read: a regular file, not empty, readable. Opens
// nothing but a regular file that says it holds 0 bytes (whether it holds
// any is read), so a FIFO or a device is never blocked on.
std::optional<ReadError> checkScannable(const std::string& path);

// Scans path by the options: in memory, or through a temporary file when
// it does not fit in the memory options.maxMemory allows. A file of size 0
// that holds bytes all the same (/proc) is read as a stream (fromStream).
Scanned scanFile(const std::string& path, const Options& options, Work& work);

// Scans what fd holds up to its end (standard input); name stands for it in
// failures. Nothing can read the bytes again: the result is fromStream and
// the lines live only in its source, or in a temporary copy (spooledInput)
// when the stream does not fit in memory.
Scanned scanStream(int fd, const std::string& name, const Options& options, Work& work);

}  // namespace quillow
