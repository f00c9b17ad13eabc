#pragma once
// The copy dialog: puts the line texts, filtered keys or line numbers of a
// range of duplicates-list entries on the clipboard.
#include <QDialog>
#include <cstdint>

#include "app/copy_text.h"
#include "app/session.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quillow {

class CopyDialog : public QDialog {
    Q_OBJECT
public:
    // highlightedEntry: the duplicates view's current entry, -1 when none.
    CopyDialog(Session& session, int64_t highlightedEntry, QWidget* parent = nullptr);

    CopyRange range() const;
    CopyContent content() const;

private:
    void onCopyClicked();

    Session& session_;
    const ScanResult& result_;
    int64_t highlighted_;
    QGroupBox *rangeFrame_, *contentFrame_;
    QRadioButton* rangeButtons_[3];
    QRadioButton* contentButtons_[3];
    QPushButton *copyButton_, *cancelButton_;
};

}  // namespace quillow
