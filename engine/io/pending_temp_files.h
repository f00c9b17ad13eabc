#pragma once
// Temporary files that exist right now, kept where a signal handler can
// reach them: a program that must end at once (a second Ctrl-C) removes them
// first. Registration copies the name into a fixed slot; the removal only
// reads the slots and calls unlink(), which is async-signal-safe.
#include <string>

namespace quillow {

// Holds one file's name in a slot while it lives (a no-op when every slot is
// taken or the name is too long: the file is then only left behind when the
// program is killed). Register right after creating the file; destroy or
// release() once it is renamed or removed.
class PendingTempFile {
public:
    PendingTempFile() = default;
    explicit PendingTempFile(const std::string& path);
    ~PendingTempFile() { release(); }
    PendingTempFile(const PendingTempFile&) = delete;
    PendingTempFile& operator=(const PendingTempFile&) = delete;
    PendingTempFile(PendingTempFile&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
    PendingTempFile& operator=(PendingTempFile&& other) noexcept;

    void release();

private:
    int slot_ = -1;
};

// Unlinks every registered file. Async-signal-safe.
void removePendingTempFiles() noexcept;

}  // namespace quillow
