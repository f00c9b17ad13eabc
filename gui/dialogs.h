#pragma once
// Everything modal that the main window shows: message boxes in the classic
// styles, the input box, the file choosers, documents handed to the desktop,
// and the dialog windows behind its buttons. The main window reaches them
// through Dialogs, so tests can answer them from a script.
#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/host.h"
#include "engine/program_state.h"

class QWidget;

namespace quillow {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer messageBox(QWidget* parent, const std::string& text, int style) = 0;
    virtual std::optional<std::string> inputBox(QWidget* parent, const std::string& prompt,
                                                const std::string& title, const std::string& preset) = 0;
    virtual bool chooseOpenFile(QWidget* parent, FileDialogRequest& request) = 0;
    virtual bool chooseSaveFile(QWidget* parent, FileDialogRequest& request) = 0;
    // A local path or a web address; false when the desktop could not open it.
    virtual bool openDocument(const std::string& pathOrUrl) = 0;

    virtual void showViewer(ProgramState& state, Host& host, QWidget* parent) = 0;
    virtual void showCopyDialog(ProgramState& state, Host& host, int64_t highlightedEntry, QWidget* parent) = 0;
    virtual void showSettingsDialog(ProgramState& state, Host& host, QWidget* parent) = 0;
    virtual void showAbout(ProgramState& state, Host& host, QWidget* parent) = 0;
};

// The real thing: QMessageBox, QInputDialog, the file-dialog wrappers,
// QDesktopServices and the program's dialog windows.
class QtDialogs : public Dialogs {
public:
    Answer messageBox(QWidget* parent, const std::string& text, int style) override;
    std::optional<std::string> inputBox(QWidget* parent, const std::string& prompt, const std::string& title,
                                        const std::string& preset) override;
    bool chooseOpenFile(QWidget* parent, FileDialogRequest& request) override;
    bool chooseSaveFile(QWidget* parent, FileDialogRequest& request) override;
    bool openDocument(const std::string& pathOrUrl) override;
    void showViewer(ProgramState& state, Host& host, QWidget* parent) override;
    void showCopyDialog(ProgramState& state, Host& host, int64_t highlightedEntry, QWidget* parent) override;
    void showSettingsDialog(ProgramState& state, Host& host, QWidget* parent) override;
    void showAbout(ProgramState& state, Host& host, QWidget* parent) override;
};

// The product name every message box carries as its title.
inline const char* const kMessageBoxTitle = "Quillow";

// A message box for a classic style value: icon (16 critical, 32 question,
// 48 exclamation, 64 information) plus buttons (0 OK, 1 OK/Cancel,
// 3 Yes/No/Cancel, 4 Yes/No; other button values show OK), the first button
// the default unless 256 or 512 name the second or third.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, int style);

// The answer a button of such a box stands for.
Answer answerFor(QMessageBox::StandardButton button);

}  // namespace quillow
