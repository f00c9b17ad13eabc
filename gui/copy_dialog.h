#pragma once
// frmCopy: puts the line texts, filtered keys or line numbers of a range of
// duplicates-list entries on the clipboard.
#include <QDialog>
#include <cstdint>

#include "engine/host.h"
#include "engine/copy_text.h"
#include "engine/program_state.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quillow {

class frmCopy : public QDialog {
    Q_OBJECT
public:
    // highlightedEntry: the duplicates view's current entry, -1 when none.
    frmCopy(ProgramState& state, Host& mainHost, int64_t highlightedEntry, QWidget* parent = nullptr);

    CopyRange range() const;
    CopyContent content() const;

private:
    void Form_Load();
    void cmdOk_Click();

    ProgramState& state_;
    Host& host_;
    int64_t highlighted_;
    QGroupBox *Frame1_, *Frame2_;
    QRadioButton* optLine_[3];
    QRadioButton* optContent_[3];
    QPushButton *cmdOk_, *cmdCancel_;
};

// Shows the dialog modally; returns when it is closed.
void showCopyDialog(ProgramState& state, Host& mainHost, int64_t highlightedEntry, QWidget* parent);

}  // namespace quillow
