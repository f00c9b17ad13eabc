#pragma once
// Save: check that the source is unchanged and that something is selected,
// settle the target (asking where, about write protection and extensions),
// then write the cleaned file on the front end's worker.
#include <string>

#include "app/session.h"
#include "engine/io/cleaned_file_writer.h"

namespace quillow {

enum class SaveOutcome {
    Written,
    WrittenUnflushed,  // the target is the new file, but its folder was not flushed to disk
    Stopped,           // the user stopped the writing
    NothingToSave,     // no scan to save from, or work running
    NothingSelected,   // no entry is selected
    Cancelled,         // the user declined (no target, write protection kept, extension question)
    SourceMissing,     // the source is gone
    SourceChanged,     // the source changed since the scan
    SourceUnreadable,  // the source could not be read again
    TargetUnwritable,  // the target could not be written
    Failed,            // writing or putting it in place failed
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::NothingToSave;
    std::string file;  // the file a failure concerns
    int error = 0;     // the system's error number, kNotRegularError, or 0
};

// In an unattended run the target is unattendedTarget and nothing is asked;
// otherwise the save dialog gives it. A check that refuses says so in a
// message box (unattended: in the status text).
SaveResult saveCleanedCopy(Session& session, const SaveTarget& unattendedTarget = {});

// The writing alone, without the checks and questions before it: the lines
// choice names to target, on the front end's worker; the status says how it
// ended. A target path that names a stream (/dev/stdout, a FIFO, a device)
// is written to as one.
SaveResult writeLines(Session& session, const SaveTarget& target, const LineChoice& choice = {});

}  // namespace quillow
