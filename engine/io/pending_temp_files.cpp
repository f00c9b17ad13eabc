#include "engine/io/pending_temp_files.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace quillow {

namespace {

enum SlotState : int { Free, Filling, Ready };

struct Slot {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

// A run holds at most a few at once: the save's file and quillow-cli's
// copies of its standard streams.
Slot g_slots[8];

static_assert(std::atomic<int>::is_always_lock_free, "slots are read in a signal handler");

}  // namespace

PendingTempFile::PendingTempFile(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return;
    for (int i = 0; i < static_cast<int>(std::size(g_slots)); ++i) {
        int expected = Free;
        if (g_slots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
            g_slots[i].state.store(Ready, std::memory_order_release);
            slot_ = i;
            return;
        }
    }
}

PendingTempFile& PendingTempFile::operator=(PendingTempFile&& other) noexcept
{
    if (this != &other) {
        release();
        slot_ = other.slot_;
        other.slot_ = -1;
    }
    return *this;
}

void PendingTempFile::release()
{
    if (slot_ >= 0)
        g_slots[slot_].state.store(Free, std::memory_order_release);
    slot_ = -1;
}

void removePendingTempFiles() noexcept
{
    for (Slot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == Ready)
            ::unlink(slot.path);
}

}  // namespace quillow
