// The options dialog driven through its controls: loading, the key and
// focus rules of the number boxes, the match list, OK, Cancel and the filter
// test.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/options_dialog.h"
#include "support/recording_host.h"

namespace quillow {
namespace {

using testing::RecordingHost;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.caseSensitive = 1;
        state.trimLines = 0;
        state.saveEmptyLines = 1;
        state.saveApplyFilter = 0;
        state.preserveMemory = 1;
        state.iStartPos = 4;
        state.iRegExpMatch = 2;
        state.sRegExp = "\\d+";
        dialog = std::make_unique<frmSettings>(state, host);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename T>
    T* child(const char* name)
    {
        T* w = dialog->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* startPos() { return child<QLineEdit>("txtStartPos"); }
    QComboBox* match() { return child<QComboBox>("txtMatch"); }

    // Types into a box that has been emptied, then moves the focus on.
    void typeAndLeave(QWidget* box, const QString& keys)
    {
        QLineEdit* edit = qobject_cast<QLineEdit*>(box);
        if (!edit)
            edit = qobject_cast<QComboBox*>(box)->lineEdit();
        box->setFocus();
        edit->selectAll();
        // Keys go where the user's keys go: to the focus widget.
        QWidget* target = QApplication::focusWidget();
        EXPECT_EQ(target, box);
        QTest::keyClick(target, Qt::Key_Backspace);
        for (QChar c : keys) {
            if (c.unicode() < 0x80)
                QTest::keyClick(target, c.toLatin1());
            else  // a character no key code names
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        child<QLineEdit>("txtRegExp")->setFocus();
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>("cmdOk"), Qt::LeftButton); }

    ProgramState state;
    RecordingHost host;
    std::unique_ptr<frmSettings> dialog;
};

TEST_F(SettingsDialogTest, OpensWithTheStoredValuesAndTheFocusOnOk)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quillow 选项"));
    EXPECT_EQ(dialog->size(), QSize(234, 388));
    EXPECT_TRUE(child<QCheckBox>("chkCase")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("chkTrim")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkSaveEmpty")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("chkSaveApplyFilter")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkPreserveMemory")->isChecked());
    EXPECT_EQ(startPos()->text(), "4");
    EXPECT_EQ(match()->currentText(), "2");
    EXPECT_EQ(child<QLineEdit>("txtRegExp")->text(), "\\d+");
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>("cmdOk"));
}

TEST_F(SettingsDialogTest, FilterControlsStayUsableWhenTheStoredPatternWasRefused)
{
    state.sRegExp = "(";
    state.regExpReady = 0;
    frmSettings refused(state, host);
    EXPECT_TRUE(refused.findChild<QLineEdit*>("txtRegExp")->isEnabled());
    EXPECT_TRUE(refused.findChild<QComboBox*>("txtMatch")->isEnabled());
    EXPECT_TRUE(refused.findChild<QPushButton*>("cmdRegExpTest")->isEnabled());
    EXPECT_EQ(refused.findChild<QLineEdit*>("txtRegExp")->text(), "(");
}

struct BoxCase {
    const char* name;
    const char* box;
    const char* typed;
    const char* shown;
};

class SettingsNumberBox : public SettingsDialogTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(SettingsNumberBox, KeysAndFocusLossRules)
{
    const BoxCase& c = GetParam();
    QWidget* box = std::string(c.box) == "txtStartPos" ? static_cast<QWidget*>(startPos()) : match();
    typeAndLeave(box, QString::fromUtf8(c.typed));
    QString shown = box == startPos() ? startPos()->text() : match()->currentText();
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsNumberBox,
    ::testing::Values(BoxCase{"StartLettersIgnored", "txtStartPos", "a1b2", "12"},
                      BoxCase{"StartMinusIgnored", "txtStartPos", "-3", "3"},
                      BoxCase{"StartEmptyBecomesZero", "txtStartPos", "", "0"},
                      BoxCase{"StartChineseIgnored", "txtStartPos", "五５5", "5"},
                      BoxCase{"MatchBelowMinusOne", "txtMatch", "-7", "-1"},
                      BoxCase{"MatchKeepsFive", "txtMatch", "5", "5"},
                      BoxCase{"MatchLettersIgnored", "txtMatch", "x1y", "1"},
                      BoxCase{"MatchLoneMinus", "txtMatch", "-", "0"},
                      BoxCase{"MatchEmpty", "txtMatch", "", "0"},
                      BoxCase{"MatchTrailingMinus", "txtMatch", "3-", "3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsDialogTest, PastedTextIsCleanedOnlyByTheFocusLossRules)
{
    // Pasting passes the key rules; leaving the box reads its leading number.
    match()->setFocus();
    match()->lineEdit()->setText("12x");
    child<QLineEdit>("txtRegExp")->setFocus();
    EXPECT_EQ(match()->currentText(), "12");

    startPos()->setFocus();
    startPos()->setText("7z");
    child<QLineEdit>("txtRegExp")->setFocus();
    EXPECT_EQ(startPos()->text(), "7z");
}

TEST_F(SettingsDialogTest, ChoosingFromTheMatchListShowsTheNumber)
{
    QComboBox* box = match();
    const char* numbers[] = {"0", "1", "-1"};
    for (int i : {2, 1, 0, 2}) {
        box->showPopup();
        QAbstractItemView* list = box->view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(i, 0)).center());
        EXPECT_EQ(box->currentText(), numbers[i]) << i;
    }
    clickOk();
    EXPECT_EQ(state.iRegExpMatch, -1);
}

TEST_F(SettingsDialogTest, OkStoresTheControls)
{
    QTest::mouseClick(child<QCheckBox>("chkCase"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkTrim"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkSaveEmpty"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkSaveApplyFilter"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkPreserveMemory"), Qt::LeftButton);
    typeAndLeave(startPos(), "99999");
    typeAndLeave(match(), "3");
    QLineEdit* pattern = child<QLineEdit>("txtRegExp");
    pattern->clear();
    QTest::keyClicks(pattern, "  a  b ");
    clickOk();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(state.caseSensitive, 0);
    EXPECT_EQ(state.trimLines, 1);
    EXPECT_EQ(state.saveEmptyLines, 0);
    EXPECT_EQ(state.saveApplyFilter, 1);
    EXPECT_EQ(state.preserveMemory, 0);
    EXPECT_EQ(state.iStartPos, 32767);  // held to 16 bits
    EXPECT_EQ(state.iRegExpMatch, 3);
    EXPECT_EQ(state.sRegExp, "a  b");
}

TEST_F(SettingsDialogTest, EnterInTheMatchBoxTakesOkWithTheBoxRules)
{
    match()->setFocus();
    match()->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "-7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(state.iRegExpMatch, -1);
}

TEST_F(SettingsDialogTest, PastedNumbersAreHeldToSixteenBits)
{
    startPos()->setText("-5");
    match()->lineEdit()->setText("99999");
    dialog->findChild<QPushButton*>("cmdOk")->click();
    EXPECT_EQ(state.iStartPos, 0);
    EXPECT_EQ(state.iRegExpMatch, 32767);
}

TEST_F(SettingsDialogTest, CancelAndCloseBoxDiscardEveryEdit)
{
    for (bool viaCloseBox : {false, true}) {
        SCOPED_TRACE(viaCloseBox);
        auto d = std::make_unique<frmSettings>(state, host);
        d->show();
        d->findChild<QCheckBox*>("chkCase")->click();
        d->findChild<QCheckBox*>("chkPreserveMemory")->click();
        d->findChild<QLineEdit*>("txtStartPos")->setText("9");
        d->findChild<QLineEdit*>("txtRegExp")->setText("x");
        d->findChild<QComboBox*>("txtMatch")->setEditText("-1");
        if (viaCloseBox)
            d->close();
        else
            QTest::mouseClick(d->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(state.caseSensitive, 1);
        EXPECT_EQ(state.preserveMemory, 1);
        EXPECT_EQ(state.iStartPos, 4);
        EXPECT_EQ(state.sRegExp, "\\d+");
        EXPECT_EQ(state.iRegExpMatch, 2);
    }
}

TEST_F(SettingsDialogTest, FilterTestUsesTheUnsavedControls)
{
    QLineEdit* pattern = child<QLineEdit>("txtRegExp");
    pattern->setText("[a-z]+");
    match()->setEditText("-1");
    startPos()->setText("0");
    host.inputs.push_back(std::string("12 abc 34 de"));
    QTest::mouseClick(child<QPushButton>("cmdRegExpTest"), Qt::LeftButton);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "你的过滤返回下述结果:\r\n\r\nde");
    EXPECT_EQ(host.messages[0].style, 64);
    EXPECT_EQ(state.sRegExp, "\\d+");  // nothing stored before OK
    EXPECT_EQ(state.sFilterTestBackup, "12 abc 34 de");
}

}  // namespace
}  // namespace quillow
