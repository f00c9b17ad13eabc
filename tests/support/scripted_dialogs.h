#pragma once
// The main window's dialogs answered from a script: message boxes, input
// boxes and file choosers through the shared Script; the windows behind the
// buttons are only counted.
#include <cstdint>
#include <functional>
#include <vector>

#include "gui/dialogs.h"
#include "support/script.h"

namespace quillow::testing {

class ScriptedDialogs : public Dialogs, public Script {
public:
    std::vector<int64_t> copyDialogs;  // highlighted entry of each showing
    int viewers = 0, options = 0, abouts = 0;
    bool desktopOpensDocuments = true;  // false: no program for them

    Answer messageBox(QWidget*, const std::string& text, Icon icon, Buttons buttons) override
    {
        return answerMessage(text, icon, buttons);
    }
    std::optional<std::string> inputBox(QWidget*, const std::string& prompt, const std::string&,
                                        const std::string& preset) override
    {
        return answerInput(prompt, preset);
    }
    bool chooseOpenFile(QWidget*, FileDialogRequest& r) override { return answerOpen(r); }
    bool chooseSaveFile(QWidget*, FileDialogRequest& r) override { return answerSave(r); }
    bool openDocument(const std::string& path) override
    {
        openedDocuments.push_back(path);
        return desktopOpensDocuments;
    }
    std::function<void(Session&)> onViewer;  // what the user does in the viewer
    void showViewer(Session& session, QWidget*) override
    {
        ++viewers;
        if (onViewer)
            onViewer(session);
    }
    void showCopyDialog(Session&, int64_t highlighted, QWidget*) override { copyDialogs.push_back(highlighted); }
    void showOptionsDialog(Session&, QWidget*) override { ++options; }
    void showAbout(const Settings&, bool, const std::function<void(const std::string&)>&, QWidget*) override
    {
        ++abouts;
    }
};

}  // namespace quillow::testing
