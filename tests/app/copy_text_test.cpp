#include "app/copy_text.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/dups_fixture.h"

namespace quillow {
namespace {

using testing::fillResult;
using testing::numberedLines;

struct CopyCase {
    const char* name;
    CopyRange range;
    CopyContent content;
    int64_t highlighted;
    std::string expected;
};

// trimLines = 1: line 3 is " abc", line 7 is "abc", both with the key abc;
// lines 5 and 9 hold bytes that are not UTF-8 and a line break inside
// quotes of a CR file, and only line 9 is selected.
class CopyExamples : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyExamples, BuildsTheClipboardText)
{
    const CopyCase& c = GetParam();
    std::vector<std::string> lines = numberedLines(10);
    lines[2] = " abc";
    lines[6] = "abc";
    lines[4] = "\"x\xff\nend\" ";
    lines[8] = "\"x\xff\nend\"";
    ScanResult result;
    fillResult(result, lines, {{3, 3, "abc"}, {7, 3, "abc"}, {5, 5, "\"x\xff\nend\""}, {9, 5, "\"x\xff\nend\""}});
    result.dups->setSelected(3, true);
    ASSERT_EQ(result.dups->text(0), "[03]   abc");

    EXPECT_EQ(buildCopyText(result, c.range, c.content, c.highlighted), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Copy, CopyExamples,
    ::testing::Values(
        CopyCase{"AllLineNumbers", CopyRange::All, CopyContent::LineNumber, -1, "3\n7\n5\n9\n"},
        CopyCase{"AllFiltered", CopyRange::All, CopyContent::Filtered, -1,
                 "abc\nabc\n\"x\xff\nend\"\n\"x\xff\nend\"\n"},
        CopyCase{"AllSource", CopyRange::All, CopyContent::Source, -1,
                 " abc\nabc\n\"x\xff\nend\" \n\"x\xff\nend\"\n"},
        CopyCase{"SelectedSource", CopyRange::Selected, CopyContent::Source, -1, "\"x\xff\nend\"\n"},
        CopyCase{"HighlightedSource", CopyRange::Highlighted, CopyContent::Source, 0, " abc\n"},
        CopyCase{"HighlightedNumber", CopyRange::Highlighted, CopyContent::LineNumber, 3, "9\n"},
        CopyCase{"NothingHighlighted", CopyRange::Highlighted, CopyContent::LineNumber, -1, ""},
        CopyCase{"HighlightPastTheEnd", CopyRange::Highlighted, CopyContent::Filtered, 4, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyText, SelectedLineNumbersAndNothingSelected)
{
    ScanResult result;
    fillResult(result, numberedLines(12), {{5, 5, "x"}, {9, 5, "x"}});
    EXPECT_EQ(buildCopyText(result, CopyRange::Selected, CopyContent::LineNumber, -1), "");
    result.dups->setSelected(0, true);
    result.dups->setSelected(1, true);
    EXPECT_EQ(buildCopyText(result, CopyRange::Selected, CopyContent::LineNumber, -1), "5\n9\n");
}

TEST(CopyText, FilteredTextStartsAfterTheNumbersBracket)
{
    ScanResult result;
    fillResult(result, numberedLines(1200), {{8, 8, "a]   b"}, {1100, 8, "a]   b"}});
    ASSERT_EQ(result.dups->text(0), "[0008]   a]   b");
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::Filtered, -1), "a]   b\na]   b\n");
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::LineNumber, -1), "8\n1100\n");
}

TEST(CopyText, BigFileHasAHighlightAndReleasedSourceIsRefused)
{
    ScanResult result;
    fillResult(result, numberedLines(4), {{1, 1, "k"}, {2, 1, "k"}}, /*bigFile=*/true);
    EXPECT_EQ(buildCopyText(result, CopyRange::Highlighted, CopyContent::LineNumber, 1), "2\n");
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::Source, -1), "line 1\nline 2\n");

    result.dups->detachKeys();
    result.source->release();
    result.memoryPreserved = true;
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::Filtered, -1), "k\nk\n");
    EXPECT_THROW(buildCopyText(result, CopyRange::All, CopyContent::Source, -1), std::logic_error);
}

TEST(CopyText, DialogAdaptsToTheLastScan)
{
    struct Row {
        bool memoryPreserved, bigFile;
        CopyDialogSetup expected;
    };
    const Row rows[] = {
        {false, false, {true, true, CopyRange::All, CopyContent::Source}},
        {false, true, {true, true, CopyRange::All, CopyContent::Source}},
        {true, true, {false, true, CopyRange::All, CopyContent::Filtered}},
    };
    for (const Row& r : rows) {
        ScanResult result;
        result.memoryPreserved = r.memoryPreserved;
        result.bigFile = r.bigFile;
        EXPECT_EQ(copyDialogSetup(result), r.expected)
            << "memoryPreserved=" << r.memoryPreserved << " bigFile=" << r.bigFile;
    }
}

}  // namespace
}  // namespace quillow
