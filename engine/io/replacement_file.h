#pragma once
// The file a save writes before it takes the target's place, in the
// target's folder. It is made without a name (O_TMPFILE), so a run killed
// at any moment leaves nothing behind; only once it is complete and on disk
// does it get a name (linkat through /proc/self/fd), which the rename then
// moves over the target at once. Where the file system cannot make unnamed
// files it is named from the start (mkostemps), and stale ones of the same
// target that this user's killed runs left (older than a day) are removed
// first.
#include <sys/types.h>

#include <string>

#include "engine/io/pending_temp_files.h"
#include "engine/io/target_place.h"

namespace quillow {

class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile() { discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Makes the file in place's folder, for writing, with mode (before the
    // umask, as open() takes it). 0 or the system's error.
    int create(const TargetPlace& place, mode_t mode);
    int fd() const { return fd_; }

    // Closes it (after the caller flushed it) and puts it in place of the
    // target in one step. 0 or the system's error; nothing of it is left
    // when that fails.
    int replace(const TargetPlace& place);
    // Closes it and removes what exists of it.
    void discard();

private:
    int giveName(const TargetPlace& place);

    int fd_ = -1;
    int folder_ = -1;  // place's, which outlives this
    bool named_ = false;
    std::string name_;  // in the folder, once it has one
    PendingTempFile pending_;  // for a program that must end at once
};

// The process's umask, read without changing it where the system tells it.
mode_t processUmask();

}  // namespace quillow
