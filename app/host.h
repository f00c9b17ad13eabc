#pragma once
// The engine's only window on the world. The desktop program implements it on
// the main window, quillow-cli on stderr, the tests with a recording fake.
#include <cstdint>
#include <optional>
#include <string>

namespace quillow {

enum class Icon { None, Critical, Question, Warning, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Normal; Wait: the hourglass (nothing can be done); Busy: arrow and hourglass.
enum class Pointer { Normal, Wait, Busy };

// The stages of long work that report progress; engine/texts.h says
// how each is shown.
enum class Stage { Loading, Finding, PreparingSave, Writing, Selecting };

// What each main-window button shows; derived from the program state.
struct ButtonStates {
    bool scanEnabled = true, scanVisible = true;
    bool stopEnabled = false, stopVisible = false;
    bool saveEnabled = false, selectEnabled = false, viewEnabled = false;
    bool settingsEnabled = true, aboutEnabled = true;
    bool operator==(const ButtonStates&) const = default;
};

struct FileDialogRequest {
    std::string fileName;          // start name in, chosen path out
    std::string filter;            // "desc|pattern|desc|pattern" form
    int filterIndex = 1;
    std::string defaultExt;        // e.g. "TXT"
    bool mustExist = false;        // open dialog
    bool overwritePrompt = false;  // save dialog
};

class Host {
public:
    virtual ~Host() = default;

    virtual void setStatus(const std::string& text) = 0;
    virtual void setCaption(const std::string& text) = 0;
    // Long work reached done of total: the stage's progress text and the bar.
    virtual void progress(Stage stage, int64_t done, int64_t total) = 0;
    // The bar alone (0 <= value <= maximum), when a stage starts or ends.
    virtual void setProgressBar(int64_t value, int64_t maximum) = 0;
    virtual void setPointer(Pointer p) = 0;
    virtual void showButtons(const ButtonStates& states) = 0;
    // Let the front end process pending events (Stop clicks, repaints).
    virtual void yield() = 0;
    // A message box titled with the product name; the first button is the default.
    virtual Answer messageBox(const std::string& text, Icon icon, Buttons buttons) = 0;
    // Input box; nullopt when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& preset) = 0;
    virtual bool chooseOpenFile(FileDialogRequest& request) = 0;
    virtual bool chooseSaveFile(FileDialogRequest& request) = 0;
    virtual void openDocument(const std::string& path) = 0;
    // The lists were replaced or refilled; views rebuild themselves.
    virtual void listsChanged() {}
    // The selected flags of the duplicates list changed in bulk.
    virtual void selectionChanged() {}
    // The main window takes no input while a selection command runs.
    virtual void setMainWindowEnabled(bool /*enabled*/) {}
};

}  // namespace quillow
