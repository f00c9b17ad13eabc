#include "cli/cli_front_end.h"

#include <csignal>

#include "engine/io/pending_temp_files.h"
#include "app/texts.h"

namespace quillow {

namespace {

volatile std::sig_atomic_t g_interrupts = 0;

// Only async-signal-safe calls here: the flag, unlink() of the registered
// temporary files, and the signal's default action.
extern "C" void onInterrupt(int sig)
{
    g_interrupts = g_interrupts + 1;
    // A second request while the first is still being honoured ends the
    // program at once, by the signal, without its temporary files.
    if (g_interrupts >= 2) {
        removePendingTempFiles();
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
}

// Percentages come every 50 lines; a terminal needs far fewer.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

}  // namespace

void installInterruptHandler()
{
    // Ctrl-C, kill (timeout) and a closed terminal all ask to stop.
    constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    for (int sig : kStopSignals)
        sigaddset(&sa.sa_mask, sig);
    // No SA_RESTART: a read or write that waits on a slow peer returns
    // EINTR, and the work sees the stop at once.
    sa.sa_flags = 0;
    for (int sig : kStopSignals)
        sigaction(sig, &sa, nullptr);
}

bool interruptRequested() { return g_interrupts != 0; }

void clearInterrupt() { g_interrupts = 0; }

CliFrontEnd::CliFrontEnd(bool showProgress, std::FILE* err, std::function<Clock::time_point()> now)
    : showProgress_(showProgress), err_(err), now_(std::move(now))
{
}

void CliFrontEnd::clearLine()
{
    if (lineShown_) {
        std::fputs("\r\x1b[K", err_);
        lineShown_ = false;
    }
}

void CliFrontEnd::show(const std::string& text)
{
    lastShown_ = now_();
    everShown_ = true;
    std::fputs("\r", err_);
    std::fputs(text.c_str(), err_);
    std::fputs("\x1b[K", err_);
    std::fflush(err_);
    lineShown_ = true;
}

// Stage texts ("正在给重复项排序...") always show: the stage after them can
// take long. Percentages are thinned out.
void CliFrontEnd::setStatus(const std::string& text)
{
    lastStatus_ = text;
    if (showProgress_ && text != text::translated(text::kSaveDone))
        show(text);
}

void CliFrontEnd::showProgress(Stage stage, int64_t done, int64_t total)
{
    showProgress(text::progressText(stage, done, total));
}

void CliFrontEnd::showProgress(std::string text)
{
    lastStatus_ = std::move(text);
    if (!showProgress_)
        return;
    if (everShown_ && now_() - lastShown_ < kProgressInterval)
        return;
    show(lastStatus_);
}

void CliFrontEnd::printLine(const std::string& text)
{
    clearLine();
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
}

Answer CliFrontEnd::messageBox(const std::string& text, Icon, Buttons buttons)
{
    printLine(text);
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::No;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

void CliFrontEnd::runWork(const char* stopQuestion, const std::function<void(Work&)>& work)
{
    class Sink : public WorkSink {
    public:
        Sink(CliFrontEnd& front, const char* question) : front_(front), question_(question) {}
        void begin(Stage stage) override { front_.setStatus(text::translated(text::stageStatus(stage))); }
        void progress(Stage stage, int64_t done, int64_t total) override { front_.showProgress(stage, done, total); }
        void checkIn() override
        {
            // Nobody is asked: a signal is the answer.
            if (question_ && interruptRequested())
                stop_.request_stop();
        }
        std::stop_token token() const { return stop_.get_token(); }

    private:
        CliFrontEnd& front_;
        const char* question_;
        std::stop_source stop_;
    } sink(*this, stopQuestion);
    Work running(sink, sink.token());
    running.checkIn();
    work(running);
}

void CliFrontEnd::finish()
{
    clearLine();
    std::fflush(err_);
}

}  // namespace quillow
