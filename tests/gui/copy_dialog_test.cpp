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
#include "support/recording_front_end.h"

namespace quillow {
namespace {

using testing::RecordingFrontEnd;

constexpr const char* kSentinel = "clipboard before";

// 12 lines; lines 3 (" abc", a trimmed duplicate) and 7 ("abc") share a key,
// lines 5 and 9 ("größe]   x") another. Lines 7 and 9 are selected.
void fill(ScanResult& result)
{
    std::vector<std::string> lines = testing::numberedLines(12);
    lines[2] = " abc";
    lines[6] = "abc";
    lines[4] = "größe]   x";
    lines[8] = "größe]   x";
    testing::fillResult(result, lines, {{3, 3, "abc"}, {7, 3, "abc"}, {5, 5, "größe]   x"}, {9, 5, "größe]   x"}});
    result.dups->setSelected(1, true);
    result.dups->setSelected(3, true);
}

struct CopyCase {
    const char* name;
    int line;     // range button index
    int content;  // content button index
    const char* expected;
};

// Clicks an option button on its indicator.
void choose(CopyDialog& dialog, const QString& name)
{
    QRadioButton* button = dialog.findChild<QRadioButton*>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    EXPECT_TRUE(button->isChecked()) << name.toStdString();
}

class CopyDialogClipboard : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyDialogClipboard, HoldsTheItemsEachWithLf)
{
    const CopyCase& c = GetParam();
    testing::TestSession t;
    ScanResult& result = t.result;
    RecordingFrontEnd& host = t.host;
    fill(result);
    QGuiApplication::clipboard()->setText(kSentinel);

    CopyDialog dialog(t.session, 2);  // entry 2: line 5 highlighted
    dialog.show();
    choose(dialog, QString("range%1").arg(c.line));
    choose(dialog, QString("content%1").arg(c.content));
    QTest::mouseClick(dialog.findChild<QPushButton*>("copyButton"), Qt::LeftButton);

    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8().toStdString(), c.expected);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CopyDialogClipboard,
    ::testing::Values(CopyCase{"AllSource", 0, 0, " abc\nabc\ngröße]   x\ngröße]   x\n"},
                      CopyCase{"AllFiltered", 0, 1, "abc\nabc\ngröße]   x\ngröße]   x\n"},
                      CopyCase{"AllLineNumbers", 0, 2, "3\n7\n5\n9\n"},
                      CopyCase{"SelectedSource", 1, 0, "abc\ngröße]   x\n"},
                      CopyCase{"SelectedFiltered", 1, 1, "abc\ngröße]   x\n"},
                      CopyCase{"SelectedLineNumbers", 1, 2, "7\n9\n"},
                      CopyCase{"HighlightedSource", 2, 0, "größe]   x\n"},
                      CopyCase{"HighlightedFiltered", 2, 1, "größe]   x\n"},
                      CopyCase{"HighlightedLineNumber", 2, 2, "5\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyDialog, OpensWithAllDuplicatesAndSourceTexts)
{
    testing::TestSession t;
    ScanResult& result = t.result;
    fill(result);
    CopyDialog dialog(t.session, -1);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("复制到剪贴板"));
    dialog.show();
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // sized by its contents, not by the user
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("range0")->isChecked());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("content0")->isChecked());
    for (const char* name : {"range0", "range1", "range2", "content0", "content1", "content2"})
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(name)->isEnabled()) << name;
}

TEST(CopyDialog, ReleasedSourceTextsDisableTheSourceOption)
{
    testing::TestSession t;
    ScanResult& result = t.result;
    fill(result);
    result.bigFile = true;
    result.memoryPreserved = true;
    CopyDialog dialog(t.session, 0);
    EXPECT_FALSE(dialog.findChild<QRadioButton*>("content0")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("content1")->isChecked());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("range2")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("range0")->isChecked());
}

struct NothingCase {
    const char* name;
    int line;
    int64_t highlighted;
};

class CopyDialogNothing : public ::testing::TestWithParam<NothingCase> {};

TEST_P(CopyDialogNothing, SaysSoAndLeavesTheClipboard)
{
    testing::TestSession t;
    ScanResult& result = t.result;
    RecordingFrontEnd& host = t.host;
    fill(result);
    for (int64_t i = 0; i < result.dups->count(); ++i)
        result.dups->setSelected(i, false);
    QGuiApplication::clipboard()->setText(kSentinel);

    CopyDialog dialog(t.session, GetParam().highlighted);
    dialog.show();
    choose(dialog, QString("range%1").arg(GetParam().line));
    QTest::mouseClick(dialog.findChild<QPushButton*>("copyButton"), Qt::LeftButton);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "没有复制对象...");
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kSentinel);
    EXPECT_FALSE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ranges, CopyDialogNothing,
                         ::testing::Values(NothingCase{"NoneSelected", 1, 0}, NothingCase{"NoneHighlighted", 2, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CopyDialog, CancelLeavesTheClipboard)
{
    testing::TestSession t;
    ScanResult& result = t.result;
    fill(result);
    QGuiApplication::clipboard()->setText(kSentinel);
    CopyDialog dialog(t.session, 0);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kSentinel);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace quillow
