// The writing stage: what reaches the target byte for byte, progress and
// stop, and file-system faults that must never cost the user's data.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>

#include "support/save_fixture.h"
#include "app/texts.h"

namespace quillow {
namespace {

using testing::FaultyOps;
using testing::joinLines;
using testing::kSavePreparingPrefix;
using testing::kSaveWritingPrefix;
using testing::readFile;
using testing::SaveTest;

struct OutputCase {
    const char* name;
    std::string input;
    std::vector<int64_t> drop;  // selected line numbers
    std::string expected;
    int deleted;
    int16_t saveEmptyLines = 1;
    int16_t saveApplyFilter = 0;
    int16_t trimLines = 0;
    int16_t iStartPos = 0;
    std::string regex = {};
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class Output : public SaveTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(Output, WritesTheKeptLinesByteForByte)
{
    const OutputCase& c = GetParam();
    settings.options.trimLines = c.trimLines;
    settings.options.startPos = c.iStartPos;
    settings.options.filterPattern = c.regex;
    scan(c.input);
    settings.options.saveEmptyLines = c.saveEmptyLines;
    settings.options.saveApplyFilter = c.saveApplyFilter;
    for (int64_t l : c.drop)
        selectLines({l});
    settings.counters.dupsDeleted = 5;

    std::string target = dir.file("out.txt");
    EXPECT_EQ(saveTo(target), SaveOutcome::Written);
    EXPECT_EQ(readFile(target), c.expected);
    EXPECT_EQ(settings.counters.dupsDeleted, 5 + c.deleted);
    EXPECT_EQ(host.status(), text::kSaveDone);
    EXPECT_EQ(readFile(source), c.input);
    EXPECT_TRUE(strayTemporaries().empty());
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Save, Output,
    ::testing::Values(
        OutputCase{"crlf_drops_later_occurrences", "a\r\nb\r\na\r\nc\r\na\r\n", {3, 5}, "a\r\nb\r\nc\r\n", 2},
        OutputCase{"unix_file_keeps_lf", "a\nb\na\nc\na\n", {3, 5}, "a\nb\nc\n", 2},
        OutputCase{"first_occurrence_dropped", "a\nb\na\n", {1}, "b\na\n", 1},
        OutputCase{"last_line_without_terminator", "a\r\nb\r\na\r\nc", {3}, "a\r\nb\r\nc\r\n", 1},
        OutputCase{"lone_cr_lines_get_crlf", "a\rb\ra", {3}, "a\r\nb\r\n", 1},
        OutputCase{"quoted_lf_stays_inside_a_cr_line", "\"x\ny\"\r\n\"x\ny\"\r\nz\r\n", {2}, "\"x\ny\"\r\nz\r\n", 1},
        OutputCase{"lone_lf_in_a_cr_file_ends_and_keeps_its_line", "a\r\nb\nc\r\nb\r\n", {4}, "a\r\nb\nc\r\n", 1},
        OutputCase{"invalid_utf8_kept", "caf\xE9\na\na\n", {3}, "caf\xE9\na\n", 1},
        OutputCase{"blank_line_trimmed_away_and_counted", "a\n   \nb\na\n", {4}, "a\nb\n", 2, 0, 1, 1},
        OutputCase{"blank_line_kept_without_filter", "a\n   \nb\na\n", {4}, "a\n   \nb\n", 1, 0, 0, 1},
        OutputCase{"empty_dropped_blanks_written", "a\n\n  \na\n", {4}, "a\n  \n", 2, 0},
        OutputCase{"empty_kept_when_asked", "a\n\na\n", {3}, "a\n\n", 1, 1},
        OutputCase{"trim_keeps_tabs", "\t x \na\na\n", {3}, "\t x\na\n", 1, 1, 1, 1},
        OutputCase{"start_offset_applied", "12345\nabcdef\n12345\nxy\n", {3}, "5\nef\n\n", 1, 1, 1, 0, 4},
        OutputCase{"start_offset_counts_characters", "ab中文x\nab中文x\n", {2}, "x\n", 1, 1, 1, 0, 4},
        OutputCase{"start_offset_ignored_without_filter", "12345\nabcdef\n12345\n", {3}, "12345\nabcdef\n", 1, 1, 0, 1,
                   4},
        OutputCase{"regex_reduces_written_lines", "id 12 x\nid 12 y\nid 7\n", {2}, "12\n7\n", 1, 1, 1, 0, 0, "[0-9]+"},
        OutputCase{"regex_ignored_without_filter", "id 12 x\nid 12 y\nid 7\n", {2}, "id 12 x\nid 7\n", 1, 1, 0, 0, 0,
                   "[0-9]+"},
        OutputCase{"letter_case_never_changed", "Abc\nabc\nx\n", {2}, "Abc\nx\n", 1, 1, 1},
        OutputCase{"utf8_bom_written_back", "\xEF\xBB\xBFx\nx\nb\n", {2}, "\xEF\xBB\xBFx\nb\n", 1},
        OutputCase{"bom_stays_when_the_first_line_is_dropped", "\xEF\xBB\xBFx\nx\nb\n", {1}, "\xEF\xBB\xBFx\nb\n", 1},
        OutputCase{"utf16le_bom_written_back", std::string("\xFF\xFEq\0\n\0q\0\n\0", 10), {2},
                   std::string("\xFF\xFEq\0\n\0", 6), 1},
        OutputCase{"utf32be_bom_written_back", std::string("\0\0\xFE\xFF\0\0\0k\0\0\0\n\0\0\0k\0\0\0\n", 20), {2},
                   std::string("\0\0\xFE\xFF\0\0\0k\0\0\0\n", 12), 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveHelpers, PercentRoundsHalvesToEven)
{
    auto percent = [](int64_t done, int64_t total) { return text::progressPercent(Stage::Writing, done, total); };
    EXPECT_EQ(percent(50, 80), 62);   // 62.5
    EXPECT_EQ(percent(50, 400), 12);  // 12.5
    EXPECT_EQ(percent(7, 200), 4);    // 3.5
    EXPECT_EQ(percent(50, 119), 42);
    EXPECT_EQ(percent(100, 100), 100);
    EXPECT_EQ(percent(120, 100), 120);
    EXPECT_EQ(percent(60, 0), 6000);
}

TEST_F(SaveTest, StatisticsSaturate)
{
    scan("a\na\na\n");
    selectLines({2, 3});
    settings.counters.dupsDeleted = INT32_MAX - 1;
    ASSERT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);
    EXPECT_EQ(settings.counters.dupsDeleted, INT32_MAX);
}

std::vector<std::string> statusesStartingWith(const std::vector<std::string>& all, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const auto& s : all)
        if (s.starts_with(prefix))
            out.push_back(s);
    return out;
}

TEST_F(SaveTest, ProgressOfCopyingEndsAtTheLastLine)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 101; ++i)
        lines.push_back(i == 101 ? "line 1" : "line " + std::to_string(i));
    scan(joinLines(lines, "\r\n"));
    selectLines({101});
    ASSERT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);

    const std::vector<std::string> writing = statusesStartingWith(host.statuses, kSaveWritingPrefix);
    ASSERT_FALSE(writing.empty());
    EXPECT_EQ(writing.back(), "正保存文件...       100%");
    EXPECT_EQ(host.progressMax, 100);
    EXPECT_EQ(host.statuses.front(), text::kSavePreparing);
    EXPECT_EQ(host.status(), text::kSaveDone);
}

TEST_F(SaveTest, ProgressOfCollectingRoundsHalfToEven)
{
    std::vector<std::string> lines(81, "x");
    scan(joinLines(lines, "\n"));
    for (int64_t l = 2; l <= 81; ++l)
        selectLines({l});
    ASSERT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);
    // 81 entries: n = 80; i = 50 shows 62.5 -> 62, and no entry gives 63.
    const std::vector<std::string> shown = statusesStartingWith(host.statuses, kSavePreparingPrefix);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "正准备保存...             62%"), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "正准备保存...             63%"), shown.end());
    EXPECT_EQ(readFile(dir.file("out.txt")), "x\n");
    EXPECT_EQ(settings.counters.dupsDeleted, 80);
}

// Presses Stop at the first progress update whose status starts with prefix.
void stopAt(testing::RecordingFrontEnd& host, const std::string& prefix)
{
    host.onCheckIn = [&host, prefix] {
        if (host.status().starts_with(prefix) && host.messages.empty())
            host.pressStop();
    };
}

TEST_F(SaveTest, StopWhileCollectingCreatesNothing)
{
    std::vector<std::string> lines(81, "x");
    scan(joinLines(lines, "\n"));
    for (int64_t l = 2; l <= 81; ++l)
        selectLines({l});
    stopAt(host, kSavePreparingPrefix);
    host.answers = {Answer::Yes};
    std::string target = dir.file("out.txt");
    EXPECT_EQ(saveTo(target), SaveOutcome::Stopped);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, text::kSaveStopQuestion);
    EXPECT_EQ(host.messages[0].icon, Icon::Question);
    EXPECT_EQ(host.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.status(), text::kSaveCancelled);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(settings.counters.dupsDeleted, 0);
    EXPECT_TRUE(strayTemporaries().empty());
    expectIdle();
}

TEST_F(SaveTest, StopWhileCopyingInPlaceLeavesTheSource)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i)
        lines.push_back(std::to_string(i % 7));
    const std::string input = joinLines(lines, "\r\n");
    scan(input);
    selectLines({8, 9, 10});
    stopAt(host, kSaveWritingPrefix);
    host.answers = {Answer::Yes};
    EXPECT_EQ(saveTo(source), SaveOutcome::Stopped);

    EXPECT_EQ(readFile(source), input);
    EXPECT_TRUE(strayTemporaries().empty());
    EXPECT_EQ(host.status(), text::kSaveCancelled);
    EXPECT_EQ(settings.counters.dupsDeleted, 0);
    expectIdle();
}

TEST_F(SaveTest, StopAnsweredNoGoesOn)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i)
        lines.push_back(std::to_string(i % 7));
    scan(joinLines(lines, "\n"));
    selectLines({8});
    stopAt(host, kSaveWritingPrefix);
    host.answers = {Answer::No};
    EXPECT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(session.unattended);
    lines.erase(lines.begin() + 7);
    EXPECT_EQ(readFile(dir.file("out.txt")), joinLines(lines, "\n"));
}

// With the line texts freed the save reads the file again, block by block:
// kept lines that run across the blocks come out byte for byte.
TEST_F(SaveTest, LinesReadAgainComeOutByteForByte)
{
    std::string input, expected;
    for (int i = 0; i < 250000; ++i) {
        const std::string line = "line number " + std::to_string(i % 200000) + (i % 3 ? "\n" : "\r\n");
        input += line;
        if (i != 200000 && i != 200002)
            expected += line;
    }
    settings.options.preserveMemory = true;
    scan(input);
    ASSERT_TRUE(result.memoryPreserved);
    selectLines({200001, 200003});
    const std::string target = dir.file("out.txt");
    EXPECT_EQ(saveTo(target), SaveOutcome::Written);
    EXPECT_TRUE(readFile(target) == expected);
}

struct FaultCase {
    const char* name;
    void (*arm)(FaultyOps&);
    bool inPlace;
    bool bigFile;  // output of several MiB, so that a later write fails
    const char* status;  // followed by the file and the system's reason
    int error;
    bool released = false;  // the line texts freed after the scan: the save reads the file again
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class Faults : public SaveTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Faults, LeaveEveryFileAsItWas)
{
    const FaultCase& c = GetParam();
    std::string input;
    if (c.bigFile) {
        input.reserve(4 << 20);
        for (int i = 0; i < 250000; ++i)
            input += "line number " + std::to_string(i % 200000) + "\n";
    } else {
        input = "a\nb\na\nc\n";
    }
    settings.options.preserveMemory = c.released;
    source = dir.write("in.txt", input);
    ::chmod(source.c_str(), 0640);
    scanFile(source);
    ASSERT_EQ(result.memoryPreserved, c.released);
    selectLines({3, 200001});
    std::string target = c.inPlace ? source : dir.write("out.txt", "previous target\n");
    const std::string before = readFile(target);

    FaultyOps ops;
    c.arm(ops);
    SaveOutcome outcome;
    {
        ScopedFileOps scoped(ops);
        outcome = saveTo(target);
    }
    // A failure to read the source is the input's fault; the rest is the output's.
    const bool noMemory = c.status == text::kOutOfMemoryElsewhere;
    EXPECT_EQ(outcome, c.released && !noMemory ? SaveOutcome::SourceUnreadable
                       : c.status == text::kTargetUnwritable ? SaveOutcome::TargetUnwritable
                                                              : SaveOutcome::Failed);
    EXPECT_EQ(host.status(), noMemory ? text::translated(c.status)
                                      : text::failureStatus(c.status, c.released ? source : target, c.error));
    EXPECT_EQ(last.error, c.error);
    EXPECT_EQ(readFile(source), input);
    EXPECT_EQ(readFile(target), before);
    EXPECT_TRUE(strayTemporaries().empty()) << strayTemporaries().front();
    EXPECT_EQ(settings.counters.dupsDeleted, 0);
    struct stat st {};
    ASSERT_EQ(::stat(source.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Save, Faults,
    ::testing::Values(
        FaultCase{"disk_full_in_place", [](FaultyOps& o) { o.failWriteAt = 1; }, true, false, text::kSaveFailed, ENOSPC},
        FaultCase{"disk_full_new_target", [](FaultyOps& o) { o.failWriteAt = 1; }, false, false, text::kSaveFailed,
                  ENOSPC},
        FaultCase{"disk_full_at_second_block", [](FaultyOps& o) { o.failWriteAt = 2; }, true, true, text::kSaveFailed,
                  ENOSPC},
        FaultCase{"fsync_fails", [](FaultyOps& o) { o.failFsync = true; }, true, false, text::kSaveFailed, EIO},
        FaultCase{"close_fails", [](FaultyOps& o) { o.failClose = true; }, false, false, text::kSaveFailed, EIO},
        FaultCase{"rename_fails_in_place", [](FaultyOps& o) { o.failRename = true; }, true, false, text::kSaveFailed,
                  EXDEV},
        FaultCase{"rename_fails_new_target", [](FaultyOps& o) { o.failRename = true; }, false, false,
                  text::kSaveFailed, EXDEV},
        FaultCase{"read_error", [](FaultyOps& o) { o.failRead = true; }, true, true, text::kSaveFailed, EIO, true},
        FaultCase{"no_memory_to_read_again", [](FaultyOps& o) { o.noMemoryToRead = true; }, true, true,
                  text::kOutOfMemoryElsewhere, ENOMEM, true},
        FaultCase{"mode_cannot_be_kept", [](FaultyOps& o) { o.failFchmod = true; }, true, false,
                  text::kTargetUnwritable, EPERM}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillow
