#include "gui/work_runner.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <exception>
#include <thread>

#include "gui/main_window_internal.h"

namespace quillow {

class WorkRunner::Sink : public WorkSink {
public:
    explicit Sink(WorkRunner& runner) : runner_(runner) {}
    void begin(Stage stage) override { runner_.push(Event{false, stage, 0, 0}); }
    void progress(Stage stage, int64_t done, int64_t total) override { runner_.push(Event{true, stage, done, total}); }
    void checkIn() override { runner_.waitWhileHeld(); }

private:
    WorkRunner& runner_;
};

WorkRunner::WorkRunner(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(kDisplayInterval));
    connect(timer_, &QTimer::timeout, this, &WorkRunner::deliver);
}

WorkRunner::~WorkRunner() = default;

void WorkRunner::push(const Event& event)
{
    const std::lock_guard lock(mutex_);
    // Only the latest progress counts; stages keep their order.
    if (event.progress && !events_.empty() && events_.back().progress)
        events_.back() = event;
    else
        events_.push_back(event);
}

void WorkRunner::waitWhileHeld()
{
    std::unique_lock lock(mutex_);
    resume_.wait(lock, [this] { return !held_; });
}

void WorkRunner::deliver()
{
    std::vector<Event> events;
    {
        const std::lock_guard lock(mutex_);
        events.swap(events_);
    }
    for (const Event& e : events) {
        if (e.progress && onProgress)
            onProgress(e.stage, e.done, e.total);
        else if (!e.progress && onStage)
            onStage(e.stage);
    }
}

void WorkRunner::run(const std::function<void(Work&)>& work)
{
    running_ = true;
    stop_ = std::stop_source();
    QEventLoop loop;
    std::exception_ptr failure;
    Sink sink(*this);
    const std::stop_token token = stop_.get_token();
    auto body = [&] {
        try {
            Work w(sink, token);
            work(w);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    };
    timer_->start();
    try {
        std::jthread worker([&] {
            // The window's own thread comes first when the cores are busy;
            // the engine's helper threads inherit this.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), ::getpriority(PRIO_PROCESS, 0) + 5);
            body();
        });
        loop.exec();
    } catch (const std::system_error&) {
        // No thread to be had: the work runs here, the window waits.
        body();
    }
    timer_->stop();
    deliver();
    running_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

void WorkRunner::stopIf(const std::function<bool()>& ask)
{
    if (!running_)
        return;
    {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    bool stop = false;
    try {
        stop = ask();
    } catch (...) {
        stop = false;
    }
    if (stop)
        stop_.request_stop();
    {
        const std::lock_guard lock(mutex_);
        held_ = false;
    }
    resume_.notify_all();
}

}  // namespace quillow
