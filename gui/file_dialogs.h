#pragma once
// cCommonDialog: the open and save file choosers (QFileDialog) with the
// classic arguments of a FileDialogRequest: start name, filter list with a
// preselected entry, default extension, existence check for opening and
// overwrite confirmation for saving. Cancel returns false.
#include <QString>
#include <cstdint>

#include "engine/host.h"

class QWidget;

namespace quillow {

class cCommonDialog {
public:
    explicit cCommonDialog(QWidget* owner = nullptr) : owner_(owner) {}

    // True when the user chose an existing file; request.fileName is then its
    // full path and request.filterIndex the filter that was selected.
    bool VBGetOpenFileName(FileDialogRequest& request);
    // True when the user confirmed a name to save to (overwriting confirmed
    // when request.overwritePrompt is set).
    bool VBGetSaveFileName(FileDialogRequest& request);

    // 1 after a choice, 0 after cancel.
    int32_t APIReturn() const { return apiReturn_; }

    // Titles the dialogs show.
    static QString openTitle();
    static QString saveTitle();

private:
    bool run(bool open, FileDialogRequest& request);

    QWidget* owner_;
    int32_t apiReturn_ = 0;
};

}  // namespace quillow
