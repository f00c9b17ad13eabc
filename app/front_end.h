#pragma once
// What the program's dialogue needs of a front end: somewhere to show its
// status, a user (or a script) to answer its questions, and a way to run
// long work. The desktop program answers with Qt dialogs and runs work on a
// worker thread; quillow-cli answers with fixed answers on stderr; tests
// answer from a script.
#include <functional>
#include <optional>
#include <string>

#include "engine/runtime/work.h"

namespace quillow {

enum class Icon { None, Critical, Question, Warning, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    std::string fileName;          // start name in, chosen path out
    std::string filter;            // "desc|pattern|desc|pattern" form
    int filterIndex = 1;
    std::string defaultExt;        // e.g. "TXT"
    bool mustExist = false;        // open dialog
    bool overwritePrompt = false;  // save dialog
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // The one status text of the program (the status bar; quillow-cli's
    // last word).
    virtual void setStatus(const std::string& text) = 0;
    virtual void setCaption(const std::string& /*text*/) {}
    // Work started or ended, or the lists were replaced: buttons and views
    // follow the session's state.
    virtual void stateChanged() {}
    // The selected flags of the duplicates list changed in bulk.
    virtual void selectionChanged() {}

    // A message box titled with the product name; the first button is the default.
    virtual Answer messageBox(const std::string& text, Icon icon, Buttons buttons) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& preset) = 0;
    virtual bool chooseOpenFile(FileDialogRequest& request) = 0;
    virtual bool chooseSaveFile(FileDialogRequest& request) = 0;

    // Runs work to its end and shows its stages (app/texts.h gives their
    // texts) and progress meanwhile. When the user asks to stop, the front
    // end asks stopQuestion first (none: the work cannot be stopped) and
    // stops the work only when the answer is yes.
    virtual void runWork(const char* stopQuestion, const std::function<void(Work&)>& work) = 0;
};

}  // namespace quillow
