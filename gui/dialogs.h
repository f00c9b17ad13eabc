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

#include "app/host.h"
#include "app/run_flags.h"
#include "app/scan_result.h"
#include "app/settings/settings.h"

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

    virtual void showViewer(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, QWidget* parent) = 0;
    virtual void showCopyDialog(const ScanResult& result, Host& host, int64_t highlightedEntry, QWidget* parent) = 0;
    virtual void showOptionsDialog(Settings& settings, const ScanResult& result, Host& host, QWidget* parent) = 0;
    virtual void showAbout(const Settings& settings, bool debugMode, Host& host, QWidget* parent) = 0;
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
    void showViewer(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, QWidget* parent) override;
    void showCopyDialog(const ScanResult& result, Host& host, int64_t highlightedEntry, QWidget* parent) override;
    void showOptionsDialog(Settings& settings, const ScanResult& result, Host& host, QWidget* parent) override;
    void showAbout(const Settings& settings, bool debugMode, Host& host, QWidget* parent) override;
};


// A message box with the product name as its title and Chinese button
// captions; the first button is the default, Cancel (or No) answers Esc.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, Icon icon, Buttons buttons);

// The answer a button of such a box stands for.
Answer answerFor(QMessageBox::StandardButton button);

}  // namespace quillow
