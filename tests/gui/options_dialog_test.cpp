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
#include "support/recording_front_end.h"

namespace quillow {
namespace {

using testing::RecordingFrontEnd;

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Options& o = settings.options;
        o.caseSensitive = true;
        o.trimLines = false;
        o.saveEmptyLines = true;
        o.saveApplyFilter = false;
        o.preserveMemory = true;
        o.startPos = 4;
        o.filterMatch = 2;
        o.filterPattern = "\\d+";
        dialog = std::make_unique<OptionsDialog>(t.session);
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
    QLineEdit* startPos() { return child<QLineEdit>("startPosEdit"); }
    QComboBox* match() { return child<QComboBox>("matchBox"); }

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
        child<QLineEdit>("filterEdit")->setFocus();
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton); }

    testing::TestSession t;
    Settings& settings = t.settings;
    ScanResult& result = t.result;
    RecordingFrontEnd& host = t.host;
    std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, OpensWithTheStoredValuesAndTheFocusOnOk)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quillow 选项"));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());  // sized by its contents, not by the user
    EXPECT_TRUE(child<QCheckBox>("caseCheck")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("trimCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("saveEmptyCheck")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("applyFilterCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("preserveMemoryCheck")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("compatCheck")->isChecked());
    EXPECT_EQ(child<QCheckBox>("compatCheck")->text(), QStringLiteral("全角/半角等兼容字符视为相同"));
    EXPECT_EQ(child<QComboBox>("encodingBox")->currentText(), QStringLiteral("自动"));
    EXPECT_EQ(startPos()->text(), "4");
    EXPECT_EQ(match()->currentText(), "2");
    EXPECT_EQ(child<QLineEdit>("filterEdit")->text(), "\\d+");
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>("okButton"));
}

TEST_F(OptionsDialogTest, FilterControlsStayUsableWhenTheStoredPatternWasRefused)
{
    settings.options.filterPattern = "(";
    OptionsDialog refused(t.session);
    EXPECT_TRUE(refused.findChild<QLineEdit*>("filterEdit")->isEnabled());
    EXPECT_TRUE(refused.findChild<QComboBox*>("matchBox")->isEnabled());
    EXPECT_TRUE(refused.findChild<QPushButton*>("testFilterButton")->isEnabled());
    EXPECT_EQ(refused.findChild<QLineEdit*>("filterEdit")->text(), "(");
}

struct BoxCase {
    const char* name;
    const char* box;
    const char* typed;
    const char* shown;
};

class OptionsNumberBox : public OptionsDialogTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(OptionsNumberBox, KeysAndFocusLossRules)
{
    const BoxCase& c = GetParam();
    QWidget* box = std::string(c.box) == "startPosEdit" ? static_cast<QWidget*>(startPos()) : match();
    typeAndLeave(box, QString::fromUtf8(c.typed));
    QString shown = box == startPos() ? startPos()->text() : match()->currentText();
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, OptionsNumberBox,
    ::testing::Values(BoxCase{"StartLettersIgnored", "startPosEdit", "a1b2", "12"},
                      BoxCase{"StartMinusIgnored", "startPosEdit", "-3", "3"},
                      BoxCase{"StartEmptyBecomesZero", "startPosEdit", "", "0"},
                      BoxCase{"StartChineseIgnored", "startPosEdit", "五５5", "5"},
                      BoxCase{"MatchBelowMinusOne", "matchBox", "-7", "-1"},
                      BoxCase{"MatchKeepsFive", "matchBox", "5", "5"},
                      BoxCase{"MatchLettersIgnored", "matchBox", "x1y", "1"},
                      BoxCase{"MatchLoneMinus", "matchBox", "-", "0"},
                      BoxCase{"MatchEmpty", "matchBox", "", "0"},
                      BoxCase{"MatchTrailingMinus", "matchBox", "3-", "3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsDialogTest, PastedTextIsCleanedOnlyByTheFocusLossRules)
{
    // Pasting passes the key rules; leaving the box reads its leading number.
    match()->setFocus();
    match()->lineEdit()->setText("12x");
    child<QLineEdit>("filterEdit")->setFocus();
    EXPECT_EQ(match()->currentText(), "12");

    startPos()->setFocus();
    startPos()->setText("7z");
    child<QLineEdit>("filterEdit")->setFocus();
    EXPECT_EQ(startPos()->text(), "7z");
}

TEST_F(OptionsDialogTest, ChoosingFromTheMatchListShowsTheNumber)
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
    EXPECT_EQ(settings.options.filterMatch, -1);
}

TEST_F(OptionsDialogTest, OkStoresTheControls)
{
    QTest::mouseClick(child<QCheckBox>("caseCheck"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("trimCheck"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("saveEmptyCheck"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("applyFilterCheck"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("preserveMemoryCheck"), Qt::LeftButton);
    typeAndLeave(startPos(), "99999");
    typeAndLeave(match(), "3");
    QLineEdit* pattern = child<QLineEdit>("filterEdit");
    pattern->clear();
    QTest::keyClicks(pattern, "  a  b ");
    clickOk();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(settings.options.caseSensitive);
    EXPECT_TRUE(settings.options.trimLines);
    EXPECT_FALSE(settings.options.saveEmptyLines);
    EXPECT_TRUE(settings.options.saveApplyFilter);
    EXPECT_FALSE(settings.options.preserveMemory);
    EXPECT_EQ(settings.options.startPos, 32767);  // held to 16 bits
    EXPECT_EQ(settings.options.filterMatch, 3);
    EXPECT_EQ(settings.options.filterPattern, "a  b");
}

TEST_F(OptionsDialogTest, EncodingAndCompatibilityForms)
{
    QComboBox* encoding = child<QComboBox>("encodingBox");
    EXPECT_GE(encoding->findText("GB18030"), 0);
    QTest::mouseClick(child<QCheckBox>("compatCheck"), Qt::LeftButton);
    // A name that is no encoding keeps the dialog open and says so.
    encoding->setEditText("no-such-encoding");
    clickOk();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "未知的文本编码：no-such-encoding");
    EXPECT_EQ(settings.options.textEncoding, "auto");
    // Any ICU name or alias may be typed; it is stored as typed.
    encoding->setEditText(" big5 ");
    clickOk();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.options.textEncoding, "big5");
    EXPECT_TRUE(settings.options.compatForms);

    settings.options.textEncoding = "GB18030";
    OptionsDialog named(t.session);
    EXPECT_EQ(named.findChild<QComboBox*>("encodingBox")->currentText(), "GB18030");
    named.findChild<QComboBox*>("encodingBox")->setCurrentIndex(0);
    named.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(settings.options.textEncoding, "auto");
}

TEST_F(OptionsDialogTest, EnterInTheMatchBoxTakesOkWithTheBoxRules)
{
    match()->setFocus();
    match()->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "-7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.options.filterMatch, -1);
}

TEST_F(OptionsDialogTest, PastedNumbersAreHeldToSixteenBits)
{
    startPos()->setText("-5");
    match()->lineEdit()->setText("99999");
    dialog->findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(settings.options.startPos, 0);
    EXPECT_EQ(settings.options.filterMatch, 32767);
}

TEST_F(OptionsDialogTest, CancelAndCloseBoxDiscardEveryEdit)
{
    for (bool viaCloseBox : {false, true}) {
        SCOPED_TRACE(viaCloseBox);
        auto d = std::make_unique<OptionsDialog>(t.session);
        d->show();
        d->findChild<QCheckBox*>("caseCheck")->click();
        d->findChild<QCheckBox*>("preserveMemoryCheck")->click();
        d->findChild<QLineEdit*>("startPosEdit")->setText("9");
        d->findChild<QLineEdit*>("filterEdit")->setText("x");
        d->findChild<QComboBox*>("matchBox")->setEditText("-1");
        if (viaCloseBox)
            d->close();
        else
            QTest::mouseClick(d->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_TRUE(settings.options.caseSensitive);
        EXPECT_TRUE(settings.options.preserveMemory);
        EXPECT_EQ(settings.options.startPos, 4);
        EXPECT_EQ(settings.options.filterPattern, "\\d+");
        EXPECT_EQ(settings.options.filterMatch, 2);
    }
}

TEST_F(OptionsDialogTest, FilterTestUsesTheUnsavedControls)
{
    QLineEdit* pattern = child<QLineEdit>("filterEdit");
    pattern->setText("[a-z]+");
    match()->setEditText("-1");
    startPos()->setText("0");
    host.inputs.push_back(std::string("12 abc 34 de"));
    QTest::mouseClick(child<QPushButton>("testFilterButton"), Qt::LeftButton);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "你的过滤返回下述结果:\r\n\r\nde");
    EXPECT_EQ(host.messages[0].icon, Icon::Information);
    EXPECT_EQ(settings.options.filterPattern, "\\d+");  // nothing stored before OK
    EXPECT_EQ(settings.filterTestText, "12 abc 34 de");
}

}  // namespace
}  // namespace quillow

namespace quillow {
namespace {

TEST_F(OptionsDialogTest, EveryOptionSaysWhatItDoesInItsToolTip)
{
    // Every control that sets an option, and the filter test; OK and Cancel need none.
    std::vector<QWidget*> options;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool isOption = qobject_cast<QCheckBox*>(w) || qobject_cast<QComboBox*>(w) ||
                              (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget())) ||
                              (qobject_cast<QPushButton*>(w) && w->objectName() != "okButton" &&
                               w->objectName() != "cancelButton");
        if (isOption)
            options.push_back(w);
    }
    EXPECT_GE(options.size(), 9u);
    for (QWidget* w : options) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QString tip = w->toolTip();
        // Chinese, like the rest of the interface.
        EXPECT_TRUE(std::any_of(tip.begin(), tip.end(), [](QChar c) { return c.script() == QChar::Script_Han; }))
            << tip.toStdString();
    }
}

}  // namespace
}  // namespace quillow
