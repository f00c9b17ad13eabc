#pragma once
// The options dialog. It reads the options when it opens and writes them back
// only on OK; Cancel and the close box discard the edits.
#include <QDialog>

#include "app/session.h"
#include "engine/dedup/scan_result.h"
#include "app/settings/settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillow {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // result supplies the lines the filter tryout offers (line=N).
    explicit OptionsDialog(Session& session, QWidget* parent = nullptr);

    // The focus-loss rules of the two number boxes, applied to a text.
    static QString startPosOnLostFocus(const QString& text);
    static QString matchOnLostFocus(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addToolTips();
    void loadFromSettings();
    void onOkClicked();
    void onTestFilterClicked();
    void onMatchChosen(int index);

    Settings& settings_;
    const ScanResult& result_;
    FrontEnd& frontEnd_;
    QGroupBox *findFrame_, *saveFrame_, *miscFrame_;
    QCheckBox *caseCheck_, *trimCheck_, *compatCheck_, *saveEmptyCheck_, *applyFilterCheck_, *preserveMemoryCheck_;
    QLabel *startPosLabel_, *filterLabel_, *matchLabel_, *encodingLabel_, *memoryLabel_;
    QLineEdit *startPosEdit_, *filterEdit_;
    QComboBox *matchBox_, *encodingBox_, *memoryBox_;
    QPushButton *testFilterButton_, *okButton_, *cancelButton_;
};

}  // namespace quillow
