#pragma once
// The terminal front end: progress on stderr (only for a terminal), no
// dialogs, and Ctrl-C, SIGTERM and SIGHUP turned into a stop without a
// question. It keeps the last status text for main's last line.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/front_end.h"

namespace quillow {

// SIGINT, SIGTERM and SIGHUP set a flag that running work takes as a stop;
// a second one ends the process at once, removing its temporary files.
void installInterruptHandler();
bool interruptRequested();
void clearInterrupt();

class CliFrontEnd : public FrontEnd {
public:
    using Clock = std::chrono::steady_clock;

    // showProgress: status texts overwrite one line of err as they come
    // (stderr is a terminal and -q was not given).
    explicit CliFrontEnd(bool showProgress, std::FILE* err = stderr,
                         std::function<Clock::time_point()> now = &Clock::now);

    // The success text of a save is not shown as it comes: main writes it
    // once the output is complete (standard output closed without error).
    void setStatus(const std::string& text) override;
    // Nobody is there to answer: the text goes to err and the default answer
    // (Ok, or No / Cancel) comes back.
    Answer messageBox(const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    bool chooseOpenFile(FileDialogRequest&) override { return false; }
    bool chooseSaveFile(FileDialogRequest&) override { return false; }
    // Runs work here; an interrupt stops work that can be stopped.
    void runWork(const char* stopQuestion, const std::function<void(Work&)>& work) override;

    // Progress texts are thinned out to a few a second.
    void showProgress(Stage stage, int64_t done, int64_t total);
    // The same for a progress text made elsewhere ("prefix N%").
    void showProgress(std::string text);
    // Clears the progress line.
    void finish();
    const std::string& lastStatus() const { return lastStatus_; }

private:
    void clearLine();
    void show(const std::string& text);
    void printLine(const std::string& text);

    bool showProgress_;
    std::FILE* err_;
    std::function<Clock::time_point()> now_;
    std::string lastStatus_;
    bool lineShown_ = false;
    bool everShown_ = false;
    Clock::time_point lastShown_{};
};

}  // namespace quillow
