#pragma once
// Everything modal that the main window shows: message boxes (product name
// as title, the first button the default), the input box, the file choosers, documents handed to the desktop,
// and the dialog windows behind its buttons. The main window reaches them
// through Dialogs, so tests can answer them from a script.
#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/front_end.h"
#include "app/session.h"

class QWidget;

namespace quillow {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer messageBox(QWidget* parent, const std::string& text, Icon icon, Buttons buttons) = 0;
    virtual std::optional<std::string> inputBox(QWidget* parent, const std::string& prompt,
                                                const std::string& title, const std::string& preset) = 0;
    virtual bool chooseOpenFile(QWidget* parent, FileDialogRequest& request) = 0;
    virtual bool chooseSaveFile(QWidget* parent, FileDialogRequest& request) = 0;
    // A local path or a web address; false when the desktop could not open it.
    virtual bool openDocument(const std::string& pathOrUrl) = 0;

    virtual void showViewer(Session& session, QWidget* parent) = 0;
    virtual void showCopyDialog(Session& session, int64_t highlightedEntry, QWidget* parent) = 0;
    virtual void showOptionsDialog(Session& session, QWidget* parent) = 0;
    // openLink opens the maker's page.
    virtual void showAbout(const Settings& settings, bool debugMode,
                           const std::function<void(const std::string&)>& openLink, QWidget* parent) = 0;
};

// The real thing: QMessageBox, QInputDialog, the file-dialog wrappers,
// QDesktopServices and the program's dialog windows.
class QtDialogs : public Dialogs {
public:
    Answer messageBox(QWidget* parent, const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<std::string> inputBox(QWidget* parent, const std::string& prompt, const std::string& title,
                                        const std::string& preset) override;
    bool chooseOpenFile(QWidget* parent, FileDialogRequest& request) override;
    bool chooseSaveFile(QWidget* parent, FileDialogRequest& request) override;
    bool openDocument(const std::string& pathOrUrl) override;
    void showViewer(Session& session, QWidget* parent) override;
    void showCopyDialog(Session& session, int64_t highlightedEntry, QWidget* parent) override;
    void showOptionsDialog(Session& session, QWidget* parent) override;
    void showAbout(const Settings& settings, bool debugMode, const std::function<void(const std::string&)>& openLink,
                   QWidget* parent) override;
};


// A message box with the product name as its title and Chinese button
// captions; the first button is the default, Cancel (or No) answers Esc.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, Icon icon, Buttons buttons);

// The answer a button of such a box stands for.
Answer answerFor(QMessageBox::StandardButton button);

}  // namespace quillow
