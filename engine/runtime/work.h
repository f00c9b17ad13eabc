#pragma once
// How long work (scan, save, selection, the viewer's rows) talks to whoever
// runs it: it announces its stages and progress to a sink and stops when its
// stop token says so. The work never waits for an answer itself; a front end
// that wants to ask the user whether to stop holds the work in its sink's
// checkIn() while it asks.
#include <chrono>
#include <cstdint>
#include <stop_token>

namespace quillow {

// The stages of long work. Each has a status text that shows when it begins;
// those that count items also have a progress text (app/texts.h).
enum class Stage {
    Loading,        // reading the file
    Loaded,         // the lines are recorded
    Finding,        // keys made and compared
    FindingOnDisk,  // the same through a temporary file (the file does not fit in memory)
    Grouping,       // lines of equal keys gathered into groups
    Finishing,      // groups settled
    Sorting,        // the duplicates list ordered
    PreparingSave,  // the lines to drop collected
    Writing,        // the cleaned file written
    Selecting,      // a selection command over the duplicates list
};

class WorkSink {
public:
    virtual ~WorkSink() = default;
    // A stage begins.
    virtual void begin(Stage /*stage*/) {}
    // done of total items of stage; comes at most every reporting interval.
    virtual void progress(Stage /*stage*/, int64_t /*done*/, int64_t /*total*/) {}
    // The work is at a point where it may stop; a front end asking the user
    // about a stop holds it here until the answer is in.
    virtual void checkIn() {}
};

// A sink that hears nothing: work run where nobody watches.
inline WorkSink& silentSink()
{
    static WorkSink sink;
    return sink;
}

class Work {
public:
    using Clock = std::chrono::steady_clock;
    // Progress and check-ins come at most this often (and a stop is noticed
    // within about this time plus one item).
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(20);

    Work(WorkSink& sink, std::stop_token stop, Clock::duration interval = kInterval)
        : sink_(sink), stop_(std::move(stop)), interval_(interval)
    {
    }

    // Work nobody watches and nothing stops.
    static Work unattended() { return Work(silentSink(), std::stop_token()); }

    // A stage begins: its status shows, and the work checks in.
    void begin(Stage stage)
    {
        sink_.begin(stage);
        checkIn();
    }

    // One more item of stage is done (done of total). Cheap enough for every
    // item: the clock is read every few calls. True when the work must stop.
    bool step(Stage stage, int64_t done, int64_t total)
    {
        if (interval_ > Clock::duration::zero() && (++calls_ & 63) != 0)
            return stop_.stop_requested();
        return report(stage, done, total);
    }

    // done of total items of stage, after a piece of work that may have
    // taken long: reports and checks in when the interval has passed. True
    // when the work must stop.
    bool report(Stage stage, int64_t done, int64_t total)
    {
        const Clock::time_point now = Clock::now();
        if (now - last_ >= interval_) {
            last_ = now;
            sink_.progress(stage, done, total);
            sink_.checkIn();
        }
        return stop_.stop_requested();
    }

    // Between pieces of work that may each take long: checks in when the
    // interval has passed. True when the work must stop.
    bool check()
    {
        const Clock::time_point now = Clock::now();
        if (now - last_ >= interval_) {
            last_ = now;
            sink_.checkIn();
        }
        return stop_.stop_requested();
    }

    // Checks in now. True when the work must stop.
    bool checkIn()
    {
        last_ = Clock::now();
        sink_.checkIn();
        return stop_.stop_requested();
    }

    bool stopRequested() const { return stop_.stop_requested(); }
    const std::stop_token& token() const { return stop_; }
    WorkSink& sink() const { return sink_; }

private:
    WorkSink& sink_;
    std::stop_token stop_;
    Clock::duration interval_;
    Clock::time_point last_ = Clock::now();
    uint32_t calls_ = 0;
};

}  // namespace quillow
