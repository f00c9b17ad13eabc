#pragma once
// A scanned input that has nothing to drop, copied as it came (byte-order
// mark and all) to a stream: what a filter passes on.
#include <string>

#include "engine/dedup/scan_result.h"
#include "engine/work/work.h"

namespace quillow {

enum class PassThroughOutcome { Done, Stopped, SourceUnreadable, SourceChanged, WriteFailed };

struct PassThroughResult {
    PassThroughOutcome outcome = PassThroughOutcome::Done;
    int error = 0;  // the system's error number, kChangedWhileReadError, or 0
};

// Writes the scanned bytes to fd; a file scanned on disk is read again and
// must prove to be what was scanned, and the file must still be the one
// scanned when all is written. A stop is noticed between blocks and when a
// signal interrupts a write that waits on its reader.
PassThroughResult passThrough(const ScanResult& result, int fd, Work& work);

}  // namespace quillow
