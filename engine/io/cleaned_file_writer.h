#pragma once
// The writing stage of the save: every line of the scanned file whose entry
// is not selected, written from the bytes the scan read. A file target is
// written to a private temporary file beside it, flushed to disk and renamed
// into place only when the source is still the file that was scanned, so a
// failed, stopped or raced save never leaves a partial file and never loses
// a line. A stream target (standard output) is written straight.
#include <string>

#include "engine/dedup/scan_result.h"
#include "engine/options.h"
#include "engine/io/temp_name.h"
#include "engine/work/work.h"

namespace quillow {

// Where the cleaned text goes: a file, or a descriptor that is already open.
struct SaveTarget {
    std::string path;
    int fd = -1;  // >= 0: written straight, no temporary file, no fsync
    bool isStream() const { return fd >= 0; }
};

// How writing ended. SourceUnreadable: the source could not be opened to be
// read again; SourceReadFailed: reading it again failed on the way.
enum class WriteOutcome { Written, Stopped, SourceUnreadable, SourceReadFailed, SourceChanged, TargetUnwritable, Failed };

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Failed;
    std::string file;     // the file a failure concerns
    int error = 0;        // the system's error number, kNotRegularError, or 0 when there is none
    int64_t dropped = 0;  // lines left out (selected, or empty and not written)
};

// Writes every line of the scanned file whose entry is not selected, by the
// save options (empty lines, keys written as compared), to target.
WriteResult writeCleanedFile(const ScanResult& result, const Options& options, const SaveTarget& target, Work& work);

}  // namespace quillow
