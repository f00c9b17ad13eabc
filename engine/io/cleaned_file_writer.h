#pragma once
// The writing stage of the save: every line of the scanned file whose entry
// is not selected, written from the bytes the scan read. A file target is
// written to a file of its own in the target's folder (without a name until
// it is complete), flushed to disk and renamed into place only when the
// source is still the file that was scanned and no stop came, so a failed,
// stopped, raced or killed save never leaves a partial file and never loses
// a line. A stream target (standard output, a pipe, a device) is written
// straight.
#include <string>
#include <vector>

#include "engine/dedup/scan_result.h"
#include "engine/dedup/selection.h"
#include "engine/options.h"
#include "engine/io/temp_name.h"
#include "engine/runtime/work.h"

namespace quillow {

// What may happen to an existing target the user may not write (no write
// permission for them): refused; replaced with its mode kept (an
// unattended run); replaced and given the owner's write permission (the
// user agreed to lift the protection). Only a file the caller owns (or any
// file for root) is ever replaced so: a mode change would need that too.
enum class WriteProtection { Honour, KeepMode, Lift };

// Where the cleaned text goes: a file, or a descriptor that is already open.
struct SaveTarget {
    std::string path;
    int fd = -1;  // >= 0: written straight, no temporary file, no fsync
    WriteProtection protection = WriteProtection::Honour;
    bool isStream() const { return fd >= 0; }
};

// How writing ended. SourceUnreadable: the source could not be opened to be
// read again; SourceReadFailed: reading it again failed on the way;
// SourceChanged: it is no longer what was scanned (error
// kChangedWhileReadError: it changed while it was being read).
// WrittenUnflushed: the target is the new file, but its folder could not be
// flushed to disk (error says why).
enum class WriteOutcome {
    Written,
    WrittenUnflushed,
    Stopped,
    SourceUnreadable,
    SourceReadFailed,
    SourceChanged,
    TargetUnwritable,
    OutOfMemory,
    Failed
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Failed;
    std::string file;     // the file a failure concerns
    int error = 0;        // the system's error number, one of the engine's own, or 0 when there is none
    int64_t dropped = 0;  // lines left out (selected, or empty and not written)
    // Written, and a stop came once the target was in place.
    bool stoppedAfterWriting = false;
};

// Which lines are written, for the command line's outputs; the default is
// the save's: every line whose entry is not selected.
struct LineChoice {
    bool selectedOnly = false;  // only the lines whose entry is selected
    bool asRead = false;        // every line with its own end: the input as it came
    // Each line written after its group's size as "%7d " in the file's
    // encoding (a line of no group counts 1); sorted by line.
    const std::vector<GroupSize>* counts = nullptr;
};

// Writes every line of the scanned file whose entry is not selected, by the
// save options (empty lines, keys written as compared), to target; choice
// may ask for other lines.
WriteResult writeCleanedFile(const ScanResult& result, const Options& options, const SaveTarget& target, Work& work,
                             const LineChoice& choice = {});

}  // namespace quillow
