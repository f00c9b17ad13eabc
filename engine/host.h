#pragma once
// The engine's only window on the world. The desktop program implements it on
// the main window, quillow-cli on stderr, the tests with a recording fake.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillow {

// Message-box styles are the classic values: icon + buttons.
namespace mb {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
}  // namespace mb

// Answers, as the classic message box returns them.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

enum class Pointer { Default, Hourglass, ArrowHourglass };

// What each main-window button shows; derived from the program state.
struct ButtonStates {
    bool scanEnabled = true, scanVisible = true;
    bool stopEnabled = false, stopVisible = false;
    bool saveEnabled = false, selectEnabled = false, viewEnabled = false;
    bool settingsEnabled = true, aboutEnabled = true;
    bool operator==(const ButtonStates&) const = default;
};

struct FileDialogRequest {
    std::string fileName;        // start name in, chosen path out
    std::string filter;          // "desc|pattern|desc|pattern" form
    int filterIndex = 1;
    std::string defaultExt;      // e.g. "TXT"
    bool mustExist = false;      // open dialog
    bool overwritePrompt = false;  // save dialog
};

class Host {
public:
    virtual ~Host() = default;

    virtual void setStatus(const std::string& text) = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setProgressMin(int32_t v) = 0;
    virtual void setProgressMax(int32_t v) = 0;
    virtual void setProgressValue(int32_t v) = 0;
    virtual void setPointer(Pointer p) = 0;
    virtual void showButtons(const ButtonStates& states) = 0;
    // Let the front end process pending events (Stop clicks, repaints).
    virtual void yield() = 0;
    // A message box titled with the product name; style = icon + buttons.
    virtual Answer messageBox(const std::string& text, int style) = 0;
    // Input box; nullopt when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& preset) = 0;
    virtual bool chooseOpenFile(FileDialogRequest& request) = 0;
    virtual bool chooseSaveFile(FileDialogRequest& request) = 0;
    virtual void openDocument(const std::string& path) = 0;
    // The list holders were replaced or refilled; views rebuild themselves.
    virtual void listsChanged() {}
    // The selected flags of the duplicates list changed in bulk.
    virtual void selectionChanged() {}
    // The main window takes no input while a selection command runs.
    virtual void setMainWindowEnabled(bool /*enabled*/) {}
};

}  // namespace quillow
