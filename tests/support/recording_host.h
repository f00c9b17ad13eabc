#pragma once
// A Host for tests: records everything the engine shows and answers questions
// from a script, so engine runs need no display and no sleeps.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"

namespace quillow::testing {

struct RecordedMessage {
    std::string text;
    int style;
};

class RecordingHost : public Host {
public:
    std::vector<std::string> statuses;     // every status text, in order
    std::vector<std::string> captions;
    std::vector<std::string> events;       // "min=0", "max=10", "value=5", "yield", "pointer=1"...
    std::vector<int32_t> progressValues;
    int32_t progressMin = 0, progressMax = 0, progressValue = 0;
    ButtonStates buttons;
    Pointer pointer = Pointer::Default;
    int yields = 0;
    std::vector<RecordedMessage> messages;
    std::deque<Answer> answers;            // answers to questions, in order (default: No / Ok)
    std::deque<std::optional<std::string>> inputs;  // answers to input boxes (default: cancel)
    std::deque<std::optional<std::string>> openFiles, saveFiles;  // dialog results
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<std::string> openedDocuments;
    std::function<void()> onYield;         // e.g. press Stop at the n-th yield

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void setProgressMin(int32_t v) override { progressMin = v; events.push_back("min=" + std::to_string(v)); }
    void setProgressMax(int32_t v) override { progressMax = v; events.push_back("max=" + std::to_string(v)); }
    void setProgressValue(int32_t v) override
    {
        progressValue = v;
        progressValues.push_back(v);
        events.push_back("value=" + std::to_string(v));
    }
    void setPointer(Pointer p) override { pointer = p; }
    void showButtons(const ButtonStates& s) override { buttons = s; }
    void yield() override
    {
        ++yields;
        events.push_back("yield");
        if (onYield)
            onYield();
    }
    Answer messageBox(const std::string& text, int style) override
    {
        messages.push_back({text, style});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return (style & 7) == 0 ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> inputBox(const std::string& prompt, const std::string&, const std::string& preset) override
    {
        inputPrompts.push_back(prompt);
        inputPresets.push_back(preset);
        if (inputs.empty())
            return std::nullopt;
        auto v = inputs.front();
        inputs.pop_front();
        return v;
    }
    bool chooseOpenFile(FileDialogRequest& r) override { return answerDialog(r, openRequests, openFiles); }
    bool chooseSaveFile(FileDialogRequest& r) override { return answerDialog(r, saveRequests, saveFiles); }
    void openDocument(const std::string& path) override { openedDocuments.push_back(path); }
    void selectionChanged() override { ++selectionChanges; }
    void setMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }

    int selectionChanges = 0;
    bool mainWindowEnabled = true;

    std::vector<std::string> inputPrompts, inputPresets;

private:
    static bool answerDialog(FileDialogRequest& r, std::vector<FileDialogRequest>& log,
                             std::deque<std::optional<std::string>>& script)
    {
        log.push_back(r);
        if (script.empty())
            return false;
        auto v = script.front();
        script.pop_front();
        if (!v)
            return false;
        r.fileName = *v;
        return true;
    }
};

}  // namespace quillow::testing
