#pragma once
// FileDialogs: the open and save file choosers (QFileDialog) with the
// arguments of a FileDialogRequest: start name, filter list with a
// preselected entry, default extension, existence check for opening and
// overwrite confirmation for saving. Cancel returns false.
#include <QCoreApplication>

#include "app/front_end.h"

class QWidget;

namespace quillow {

class FileDialogs {
    Q_DECLARE_TR_FUNCTIONS(FileDialogs)

public:
    explicit FileDialogs(QWidget* owner = nullptr) : owner_(owner) {}

    // True when the user chose an existing file; request.fileName is then its
    // full path and request.filterIndex the filter that was selected.
    bool chooseOpenFile(FileDialogRequest& request);
    // True when the user confirmed a name to save to (overwriting confirmed
    // when request.overwritePrompt is set).
    bool chooseSaveFile(FileDialogRequest& request);

    // What the open dialog says of a name that is no file.
    static std::string missingFileText(const std::string& path);

private:
    bool run(bool open, FileDialogRequest& request);

    QWidget* owner_;
};

}  // namespace quillow
