#pragma once
// A front end for tests: records everything the program shows and answers
// questions from a script; work runs in place and checks in at every step,
// so runs need no display and no sleeps.
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/button_states.h"
#include "app/front_end.h"
#include "app/session.h"
#include "app/texts.h"
#include "support/script.h"

namespace quillow::testing {

class RecordingFrontEnd : public FrontEnd, public Script {
public:
    std::vector<std::string> statuses;  // every status text, in order
    std::vector<std::string> captions;
    std::vector<std::string> events;      // "bar=5/10", "checkIn"...
    std::vector<int64_t> progressValues;  // every position of the bar
    int64_t progressMax = 0, progressValue = 0;
    ButtonStates buttons;  // as the last state change left them (needs session)
    const Session* session = nullptr;
    int checkIns = 0;
    int selectionChanges = 0;
    std::function<void()> onCheckIn;  // e.g. pressStop() at the n-th check-in

    // The user presses Stop: the running work's question is asked (and
    // answered from the script) at its next check-in.
    void pressStop() { stopPressed_ = true; }

    // Forgets what was recorded (the script stays).
    void forget()
    {
        statuses.clear();
        captions.clear();
        events.clear();
        progressValues.clear();
        messages.clear();
        checkIns = 0;
        selectionChanges = 0;
    }

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void stateChanged() override
    {
        if (session)
            buttons = buttonStates(*session);
    }
    void selectionChanged() override { ++selectionChanges; }
    Answer messageBox(const std::string& text, Icon icon, Buttons kind) override
    {
        return answerMessage(text, icon, kind);
    }
    std::optional<std::string> inputBox(const std::string& prompt, const std::string&, const std::string& preset) override
    {
        return answerInput(prompt, preset);
    }
    bool chooseOpenFile(FileDialogRequest& r) override { return answerOpen(r); }
    bool chooseSaveFile(FileDialogRequest& r) override { return answerSave(r); }

    void runWork(const char* stopQuestion, const std::function<void(Work&)>& work) override
    {
        class Sink : public WorkSink {
        public:
            Sink(RecordingFrontEnd& front, const char* question) : front_(front), question_(question) {}
            void begin(Stage stage) override { front_.statuses.push_back(text::translated(text::stageStatus(stage))); }
            void progress(Stage stage, int64_t done, int64_t total) override
            {
                front_.statuses.push_back(text::progressText(stage, done, total));
                front_.bar(done, total);
            }
            void checkIn() override
            {
                ++front_.checkIns;
                front_.events.push_back("checkIn");
                if (front_.onCheckIn)
                    front_.onCheckIn();
                if (front_.stopPressed_ && question_) {
                    front_.stopPressed_ = false;
                    if (front_.answerMessage(text::translated(question_), Icon::Question, Buttons::YesNo) == Answer::Yes)
                        stop_.request_stop();
                }
            }
            std::stop_source stop_;

        private:
            RecordingFrontEnd& front_;
            const char* question_;
        } sink(*this, stopQuestion);
        Work running(sink, sink.stop_.get_token(), Work::Clock::duration::zero());
        work(running);
    }

    void bar(int64_t value, int64_t maximum)
    {
        progressValue = value;
        progressMax = maximum;
        progressValues.push_back(value);
        events.push_back("bar=" + std::to_string(value) + "/" + std::to_string(maximum));
    }

private:
    bool stopPressed_ = false;
};

// A session with its recording front end.
struct TestSession {
    Settings settings;
    RecordingFrontEnd host;
    Session session{settings, host};
    ScanResult& result = session.result;
    TestSession() { host.session = &session; }
    TestSession(const TestSession&) = delete;
};

}  // namespace quillow::testing
