#include "gui/search_runner.h"

#include <QTimer>
#include <chrono>

#include "gui/main_window_internal.h"

namespace quillow {

namespace {

// A slice on the GUI thread: short enough that typing never stalls.
constexpr std::chrono::milliseconds kSlice{12};

}  // namespace

SearchRunner::SearchRunner(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    connect(timer_, &QTimer::timeout, this, &SearchRunner::tick);
}

SearchRunner::~SearchRunner() { cancel(); }

void SearchRunner::start(int64_t rows, std::unique_ptr<LineMatcher> matcher, RowText rowText, bool onWorker)
{
    cancel();
    hits_ = std::make_unique<SearchHits>(rows);
    matcher_ = std::move(matcher);
    rowText_ = std::move(rowText);
    onWorker_ = onWorker;
    if (onWorker_) {
        try {
            worker_ = std::jthread([hits = hits_.get(), matcher = matcher_.get(), rowText = rowText_](
                                       std::stop_token stop) { hits->searchAll(*matcher, rowText, stop); });
        } catch (const std::system_error&) {
            onWorker_ = false;  // no thread to be had: slices do it
        }
    }
    timer_->start(onWorker_ ? std::chrono::duration_cast<std::chrono::milliseconds>(kDisplayInterval)
                            : std::chrono::milliseconds(0));
    // The first rows answer at once: a short list needs no wait at all.
    tick();
}

void SearchRunner::cancel()
{
    timer_->stop();
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    rowText_ = nullptr;
    matcher_.reset();
}

// Running until the tick that reports the last rows has run.
bool SearchRunner::running() const { return timer_->isActive(); }

void SearchRunner::tick()
{
    if (!hits_)
        return;
    if (!onWorker_ && matcher_) {
        const auto until = std::chrono::steady_clock::now() + kSlice;
        while (hits_->searchBlock(*matcher_, rowText_, scratch_) && std::chrono::steady_clock::now() < until) {
        }
    }
    if (hits_->complete()) {
        timer_->stop();
        if (worker_.joinable())
            worker_.join();
        rowText_ = nullptr;
        matcher_.reset();
    }
    emit progressed();
}

}  // namespace quillow
