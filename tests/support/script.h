#pragma once
// The user of a test: answers every question from a script and records what
// was asked. The recording front end and the scripted dialogs of the GUI tests
// both answer through it.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/front_end.h"

namespace quillow::testing {

struct RecordedMessage {
    std::string text;
    Icon icon;
    Buttons buttons;
};

struct Script {
    std::vector<RecordedMessage> messages;
    std::deque<Answer> answers;  // in order; then Ok, or No for questions
    std::deque<std::optional<std::string>> inputs;  // input boxes (default: cancel)
    std::deque<std::optional<std::string>> openFiles, saveFiles;  // file dialogs (default: cancel)
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<std::string> inputPrompts, inputPresets;
    std::vector<std::string> openedDocuments;

    Answer answerMessage(const std::string& text, Icon icon, Buttons buttons)
    {
        messages.push_back({text, icon, buttons});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }

    std::optional<std::string> answerInput(const std::string& prompt, const std::string& preset)
    {
        inputPrompts.push_back(prompt);
        inputPresets.push_back(preset);
        return next(inputs);
    }

    bool answerOpen(FileDialogRequest& r) { return answerDialog(r, openRequests, openFiles); }
    bool answerSave(FileDialogRequest& r) { return answerDialog(r, saveRequests, saveFiles); }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& script)
    {
        if (script.empty())
            return std::nullopt;
        auto v = script.front();
        script.pop_front();
        return v;
    }
    static bool answerDialog(FileDialogRequest& r, std::vector<FileDialogRequest>& log,
                             std::deque<std::optional<std::string>>& script)
    {
        log.push_back(r);
        std::optional<std::string> chosen = next(script);
        if (!chosen)
            return false;
        r.fileName = *chosen;
        return true;
    }
};

}  // namespace quillow::testing
