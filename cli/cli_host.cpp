#include "cli/cli_host.h"

#include <csignal>

namespace quillow {

namespace {

volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void onInterrupt(int sig)
{
    g_interrupts = g_interrupts + 1;
    // A second Ctrl-C while the first is still being honoured ends at once.
    if (sig == SIGINT && g_interrupts >= 2) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

// Percentages come every 50 lines; a terminal needs far fewer.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

bool isProgressText(const std::string& text) { return !text.empty() && text.back() == '%'; }

}  // namespace

void installInterruptHandler()
{
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool interruptRequested() { return g_interrupts != 0; }

void clearInterrupt() { g_interrupts = 0; }

CliHost::CliHost(ProgramState& state, bool showProgress, std::FILE* err, std::function<Clock::time_point()> now)
    : state_(state), showProgress_(showProgress), err_(err), now_(std::move(now))
{
}

void CliHost::clearLine()
{
    if (lineShown_) {
        std::fputs("\r\x1b[K", err_);
        lineShown_ = false;
    }
}

void CliHost::setStatus(const std::string& text)
{
    lastStatus_ = text;
    if (!showProgress_)
        return;
    // Stage texts ("正在给重复项排序...") always show: the stage after them can
    // take long. Percentages are thinned out.
    auto t = now_();
    if (isProgressText(text) && everShown_ && t - lastShown_ < kProgressInterval)
        return;
    lastShown_ = t;
    everShown_ = true;
    std::fputs("\r", err_);
    std::fputs(text.c_str(), err_);
    std::fputs("\x1b[K", err_);
    std::fflush(err_);
    lineShown_ = true;
}

void CliHost::yield()
{
    if (interruptRequested())
        state_.stopRequested = -1;
}

Answer CliHost::messageBox(const std::string& text, int style)
{
    clearLine();
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
    int buttons = style & 7;
    bool question = buttons == mb::YesNo || buttons == mb::YesNoCancel;
    if (question)
        return interruptRequested() ? Answer::Yes : Answer::No;
    return buttons == mb::OkOnly ? Answer::Ok : Answer::Cancel;
}

void CliHost::finish()
{
    clearLine();
    if (!lastStatus_.empty()) {
        std::fprintf(err_, "%s\n", lastStatus_.c_str());
        std::fflush(err_);
    }
}

}  // namespace quillow
