#pragma once
// A Host for tests: records everything the engine shows and answers questions
// from a script, so engine runs need no display and no sleeps.
#include <functional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/texts.h"
#include "support/script.h"

namespace quillow::testing {

class RecordingHost : public Host, public Script {
public:
    std::vector<std::string> statuses;  // every status text, in order
    std::vector<std::string> captions;
    std::vector<std::string> events;      // "bar=5/10", "yield"...
    std::vector<int64_t> progressValues;  // every position of the bar
    int64_t progressMax = 0, progressValue = 0;
    ButtonStates buttons;
    Pointer pointer = Pointer::Normal;
    int yields = 0;
    int selectionChanges = 0;
    bool mainWindowEnabled = true;
    std::function<void()> onYield;  // e.g. press Stop at the n-th yield

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void setCaption(const std::string& text) override { captions.push_back(text); }
    void progress(Stage stage, int64_t done, int64_t total) override
    {
        statuses.push_back(text::progressText(stage, done, total));
        setProgressBar(done, total);
    }
    void setProgressBar(int64_t value, int64_t maximum) override
    {
        progressValue = value;
        progressMax = maximum;
        progressValues.push_back(value);
        events.push_back("bar=" + std::to_string(value) + "/" + std::to_string(maximum));
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
    void openDocument(const std::string& path) override { openedDocuments.push_back(path); }
    void selectionChanged() override { ++selectionChanges; }
    void setMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
};

}  // namespace quillow::testing
