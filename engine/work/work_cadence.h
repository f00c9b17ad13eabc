#pragma once
// The rhythm of long loops (scan and save): every 50th item shows progress,
// lets the front end process its events, and asks about a pending Stop.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "app/host.h"
#include "app/run_flags.h"
#include "app/translation.h"

namespace quillow {

class WorkCadence {
public:
    static constexpr int kItemsPerTick = 50;
    // Items that may each take milliseconds (a slow filter) are not left
    // longer than this without a question about Stop.
    static constexpr auto kLongestQuiet = std::chrono::milliseconds(20);

    WorkCadence(Host& host, RunFlags& flags, const char* stopQuestion)
        : host_(host), flags_(flags), stopQuestion_(stopQuestion)
    {
    }

    // Starts counting anew (the first tick comes after 50 more items).
    void restart() { count_ = 0; }

    // Counts one item; on every 50th (after the first 50) shows done of total
    // for stage, yields and asks about Stop. True when the user confirmed a stop.
    bool step(Stage stage, int64_t done, int64_t total)
    {
        if (count_ != kItemsPerTick) {
            ++count_;
            return false;
        }
        count_ = 1;
        host_.progress(stage, done, total);
        host_.yield();
        return stopConfirmed();
    }

    // step() for each of the items first to last in turn, without a call
    // per item: the same ticks. True when the user confirmed a stop.
    bool steps(Stage stage, int64_t first, int64_t last, int64_t total)
    {
        for (int64_t done = first; done <= last; ++done) {
            if (count_ != kItemsPerTick) {
                const int64_t skip = std::min<int64_t>(kItemsPerTick - count_, last - done + 1);
                count_ += static_cast<int>(skip);
                done += skip - 1;
            } else if (step(stage, done, total)) {
                return true;
            }
        }
        return false;
    }

    // step() for items that may each take milliseconds: between ticks it
    // looks at the clock every few items and polls once kLongestQuiet has
    // passed since the last tick or poll.
    bool stepSlow(Stage stage, int64_t done, int64_t total)
    {
        using Clock = std::chrono::steady_clock;
        if (step(stage, done, total))
            return true;
        if (count_ == 1 || count_ % 8 != 0) {
            if (count_ == 1)
                quietSince_ = Clock::now();
            return false;
        }
        const Clock::time_point now = Clock::now();
        if (now - quietSince_ < kLongestQuiet)
            return false;
        quietSince_ = now;
        return poll();
    }

    // Between ticks, when a batch of items took long (a slow filter): lets
    // the front end process its events and asks about a pending Stop; the
    // count goes on. True when the user confirmed a stop.
    bool poll()
    {
        host_.yield();
        return stopConfirmed();
    }

    // When Stop was pressed: clears the request and asks. A confirmed stop
    // also ends an unattended run (the program stays open).
    bool stopConfirmed()
    {
        if (!flags_.stopRequested)
            return false;
        flags_.stopRequested = false;
        if (host_.messageBox(text::translated(stopQuestion_), Icon::Question, Buttons::YesNo) != Answer::Yes)
            return false;
        flags_.unattended = false;
        return true;
    }

private:
    Host& host_;
    RunFlags& flags_;
    const char* stopQuestion_;
    int count_ = 0;
    std::chrono::steady_clock::time_point quietSince_ = std::chrono::steady_clock::now();
};

}  // namespace quillow
