// The copy dialog driven through its buttons: the clipboard bytes for every
// option combination, nothing to copy, Cancel, and the options after a scan
// that kept no source texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/copy_dialog.h"
#include "support/dups_fixture.h"
#include "support/recording_host.h"

namespace quillow {
namespace {

using testing::RecordingHost;

constexpr const char* kSentinel = "clipboard before";

// 12 lines; lines 3 (" abc", a trimmed duplicate) and 7 ("abc") share a key,
// lines 5 and 9 ("größe]   x") another. Lines 7 and 9 are selected.
void fill(ProgramState& state)
{
    std::vector<std::string> lines = testing::numberedLines(12);
    lines[2] = " abc";
    lines[6] = "abc";
    lines[4] = "größe]   x";
    lines[8] = "größe]   x";
    testing::fillState(state, lines, {{3, 3, "abc"}, {7, 3, "abc"}, {5, 5, "größe]   x"}, {9, 5, "größe]   x"}});
    state.dupsList->SetSelected(1, true);
    state.dupsList->SetSelected(3, true);
    state.selectedCount = 2;
}

struct CopyCase {
    const char* name;
    int line;     // optLine index
    int content;  // optContent index
    const char* expected;
};

// Clicks an option button on its indicator.
void choose(frmCopy& dialog, const QString& name)
{
    QRadioButton* button = dialog.findChild<QRadioButton*>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    EXPECT_TRUE(button->isChecked()) << name.toStdString();
}

class CopyDialogClipboard : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyDialogClipboard, HoldsTheItemsEachWithCrLf)
{
    const CopyCase& c = GetParam();
    ProgramState state;
    fill(state);
    RecordingHost host;
    QGuiApplication::clipboard()->setText(kSentinel);

    frmCopy dialog(state, host, 2);  // entry 2: line 5 highlighted
    dialog.show();
    choose(dialog, QString("optLine%1").arg(c.line));
    choose(dialog, QString("optContent%1").arg(c.content));
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);

    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8().toStdString(), c.expected);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(host.pointer, Pointer::Default);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CopyDialogClipboard,
    ::testing::Values(CopyCase{"AllSource", 0, 0, " abc\r\nabc\r\ngröße]   x\r\ngröße]   x\r\n"},
                      CopyCase{"AllFiltered", 0, 1, "abc\r\nabc\r\ngröße]   x\r\ngröße]   x\r\n"},
                      CopyCase{"AllLineNumbers", 0, 2, "3\r\n7\r\n5\r\n9\r\n"},
                      CopyCase{"SelectedSource", 1, 0, "abc\r\ngröße]   x\r\n"},
                      CopyCase{"SelectedFiltered", 1, 1, "abc\r\ngröße]   x\r\n"},
                      CopyCase{"SelectedLineNumbers", 1, 2, "7\r\n9\r\n"},
                      CopyCase{"HighlightedSource", 2, 0, "größe]   x\r\n"},
                      CopyCase{"HighlightedFiltered", 2, 1, "größe]   x\r\n"},
                      CopyCase{"HighlightedLineNumber", 2, 2, "5\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyDialog, OpensWithAllDuplicatesAndSourceTexts)
{
    ProgramState state;
    fill(state);
    RecordingHost host;
    frmCopy dialog(state, host, -1);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("复制到剪贴板"));
    EXPECT_EQ(dialog.size(), QSize(209, 243));
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("optLine0")->isChecked());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("optContent0")->isChecked());
    for (const char* name : {"optLine0", "optLine1", "optLine2", "optContent0", "optContent1", "optContent2"})
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(name)->isEnabled()) << name;
}

TEST(CopyDialog, ReleasedSourceTextsAndBigFileDisableTheirOptions)
{
    ProgramState state;
    fill(state);
    state.bigFile = -1;
    state.memoryPreserved = -1;
    RecordingHost host;
    frmCopy dialog(state, host, 0);
    EXPECT_FALSE(dialog.findChild<QRadioButton*>("optContent0")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("optContent1")->isChecked());
    EXPECT_FALSE(dialog.findChild<QRadioButton*>("optLine2")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("optLine0")->isChecked());
}

struct NothingCase {
    const char* name;
    int line;
    int64_t highlighted;
};

class CopyDialogNothing : public ::testing::TestWithParam<NothingCase> {};

TEST_P(CopyDialogNothing, SaysSoAndLeavesTheClipboard)
{
    ProgramState state;
    fill(state);
    for (int64_t i = 0; i < state.dupsList->ListCount(); ++i)
        state.dupsList->SetSelected(i, false);
    state.selectedCount = 0;
    RecordingHost host;
    QGuiApplication::clipboard()->setText(kSentinel);

    frmCopy dialog(state, host, GetParam().highlighted);
    dialog.show();
    choose(dialog, QString("optLine%1").arg(GetParam().line));
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "没有复制对象...");
    EXPECT_EQ(host.messages[0].style, 48);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kSentinel);
    EXPECT_FALSE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ranges, CopyDialogNothing,
                         ::testing::Values(NothingCase{"NoneSelected", 1, 0}, NothingCase{"NoneHighlighted", 2, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CopyDialog, CancelLeavesTheClipboard)
{
    ProgramState state;
    fill(state);
    RecordingHost host;
    QGuiApplication::clipboard()->setText(kSentinel);
    frmCopy dialog(state, host, 0);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kSentinel);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace quillow
