#pragma once
// Long work off the GUI thread: run() starts the work on a thread of its own
// and keeps the GUI's event loop going until it ends, so the window repaints,
// answers and can ask about a stop. The work's stages and progress reach the
// GUI thread through a queue that a timer empties every kDisplayInterval.
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <vector>

#include "engine/runtime/work.h"

class QTimer;

namespace quillow {

class WorkRunner : public QObject {
    Q_OBJECT
public:
    explicit WorkRunner(QObject* parent = nullptr);
    ~WorkRunner() override;

    // Shown on the GUI thread, in the order the work sent them; progress
    // comes only as its latest value.
    std::function<void(Stage)> onStage;
    std::function<void(Stage, int64_t done, int64_t total)> onProgress;

    // Runs work on a worker thread and returns when it has ended (rethrowing
    // what it threw). Not re-entrant: callers start nothing while running().
    void run(const std::function<void(Work&)>& work);
    bool running() const { return running_; }

    // Holds the work at its next check-in while ask() runs here, then stops
    // it when ask() said yes. Nothing when no work runs.
    void stopIf(const std::function<bool()>& ask);

    // Shows what the queue holds now.
    void deliver();

private:
    class Sink;
    struct Event {
        bool progress;
        Stage stage;
        int64_t done, total;
    };

    void push(const Event& event);
    void waitWhileHeld();

    QTimer* timer_;
    bool running_ = false;
    std::stop_source stop_;
    std::mutex mutex_;
    std::condition_variable resume_;
    bool held_ = false;
    std::vector<Event> events_;
};

}  // namespace quillow
