#pragma once
// frmSettings: the options dialog. It reads the program state when it opens
// and writes it back only on OK; Cancel and the close box discard the edits.
#include <QDialog>

#include "engine/host.h"
#include "engine/program_state.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillow {

// The filter controls are disabled only when no regular-expression engine
// can be built at all. regExpReady is no guide: it is also 0 when the stored
// pattern is one the engine refuses, and disabling the pattern box then
// would lock the user out of correcting it. PCRE2 is linked in, so the
// engine is always there.
constexpr bool filterEngineAvailable() { return true; }

class frmSettings : public QDialog {
    Q_OBJECT
public:
    frmSettings(ProgramState& state, Host& mainHost, QWidget* parent = nullptr);

    // The focus-loss rules of the two number boxes, applied to a text.
    static QString startPosOnLostFocus(const QString& text);
    static QString matchOnLostFocus(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdOk_Click();
    void cmdRegExpTest_Click();
    void txtMatch_Click(int index);

    ProgramState& state_;
    Host& host_;
    QGroupBox *Frame1_, *Frame2_, *Frame3_;
    QCheckBox *chkCase_, *chkTrim_, *chkSaveEmpty_, *chkSaveApplyFilter_, *chkPreserveMemory_;
    QLabel *Label1_, *Label3_, *Label4_;
    QLineEdit *txtStartPos_, *txtRegExp_;
    QComboBox* txtMatch_;
    QPushButton *cmdRegExpTest_, *cmdOk_, *cmdCancel_;
};

// Shows the dialog modally; returns when it is closed.
void showSettingsDialog(ProgramState& state, Host& mainHost, QWidget* parent);

}  // namespace quillow
