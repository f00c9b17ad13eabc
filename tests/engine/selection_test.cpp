#include "engine/selection.h"

#include <gtest/gtest.h>

#include <set>

#include "support/dups_fixture.h"
#include "support/recording_host.h"

namespace quillow {
namespace {

using testing::fillState;
using testing::numberedLines;
using testing::Occurrence;
using testing::RecordingHost;

const std::string kSelecting = "正在选择...";

std::set<int64_t> selectedLines(const ProgramState& state)
{
    std::set<int64_t> lines;
    for (int64_t i = 0; i < state.dupsList->ListCount(); ++i)
        if (state.dupsList->Selected(i))
            lines.insert(state.dupsList->lineNumber(i));
    return lines;
}

void markLines(ProgramState& state, const std::set<int64_t>& lines)
{
    state.selectedCount = 0;
    for (int64_t i = 0; i < state.dupsList->ListCount(); ++i) {
        bool on = lines.count(state.dupsList->lineNumber(i)) != 0;
        state.dupsList->SetSelected(i, on);
        state.selectedCount += on ? 1 : 0;
    }
}

// A file of 12 lines: lines 3, 7, 11 have the key abc, lines 5 and 9 the key x.
void fillExample(ProgramState& state)
{
    fillState(state, numberedLines(12),
              {{3, 3, "abc"}, {5, 5, "x"}, {7, 3, "abc"}, {9, 5, "x"}, {11, 3, "abc"}});
}

struct CommandCase {
    const char* name;
    SelectCommand command;
    std::set<int64_t> before;
    std::set<int64_t> after;
};

class ExampleCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ExampleCommands, SetsFlagsCountAndStatus)
{
    const CommandCase& c = GetParam();
    ProgramState state;
    fillExample(state);
    ASSERT_EQ(state.dupsList->List(2), "[11]   abc");
    ASSERT_EQ(state.dupsList->List(3), "[05]   x");
    markLines(state, c.before);
    RecordingHost host;

    runSelectCommand(state, host, c.command);

    EXPECT_EQ(selectedLines(state), c.after);
    EXPECT_EQ(state.selectedCount, static_cast<int32_t>(c.after.size()));
    EXPECT_EQ(host.status(), std::to_string(c.after.size()) + " 共  5 个重复项已选定。");
}

// Earlier marks are chosen so that a rule which skips writing some entries
// leaves a wrong flag behind.
INSTANTIATE_TEST_SUITE_P(
    Selection, ExampleCommands,
    ::testing::Values(CommandCase{"AllButFirst", SelectCommand::AllButFirst, {3, 5}, {7, 11, 9}},
                      CommandCase{"AllButLast", SelectCommand::AllButLast, {11, 9}, {3, 7, 5}},
                      CommandCase{"All", SelectCommand::All, {7}, {3, 5, 7, 9, 11}},
                      CommandCase{"None", SelectCommand::None, {3, 5, 7, 9, 11}, {}},
                      CommandCase{"Invert", SelectCommand::Invert, {3, 9}, {5, 7, 11}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Selection, GroupsFollowTheScansCompareMode)
{
    // Case-insensitive scan: abc / ABC and ß / SS are one group each.
    ProgramState state;
    fillState(state, numberedLines(12),
              {{3, 3, "abc"}, {7, 3, "ABC"}, {4, 4, "ß"}, {8, 4, "SS"}, {10, 4, "ss"}});
    RecordingHost host;
    runSelectCommand(state, host, SelectCommand::AllButFirst);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{7, 8, 10}));
    runSelectCommand(state, host, SelectCommand::AllButLast);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{3, 4, 8}));
    EXPECT_EQ(host.status(), "3 共  5 个重复项已选定。");

    // Case-sensitive scan: neighbouring groups whose keys differ only in case
    // stay apart.
    ProgramState exact;
    fillState(exact, numberedLines(4), {{1, 1, "abc"}, {2, 1, "abc"}, {3, 3, "ABC"}, {4, 3, "ABC"}});
    runSelectCommand(exact, host, SelectCommand::AllButFirst);
    EXPECT_EQ(selectedLines(exact), (std::set<int64_t>{2, 4}));
    runSelectCommand(exact, host, SelectCommand::AllButLast);
    EXPECT_EQ(selectedLines(exact), (std::set<int64_t>{1, 3}));
}

TEST(Selection, InvertTwiceRestoresFlagsAndCount)
{
    ProgramState state;
    fillExample(state);
    markLines(state, {5, 11});
    RecordingHost host;
    runSelectCommand(state, host, SelectCommand::Invert);
    EXPECT_EQ(state.selectedCount, 3);
    runSelectCommand(state, host, SelectCommand::Invert);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{5, 11}));
    EXPECT_EQ(state.selectedCount, 2);
}

TEST(Selection, ShortListShowsNoPercentage)
{
    ProgramState state;
    std::vector<Occurrence> dups;
    for (int64_t line = 1; line <= 7; ++line)
        dups.push_back({line, 1, "k"});
    fillState(state, numberedLines(7), dups);
    markLines(state, {2, 5});
    RecordingHost host;

    runSelectCommand(state, host, SelectCommand::None);

    EXPECT_EQ(host.statuses, (std::vector<std::string>{kSelecting, "0 共  7 个重复项已选定。"}));
    EXPECT_TRUE(selectedLines(state).empty());
}

// Records what the engine state looked like when the host was called.
class FrameHost : public RecordingHost {
public:
    explicit FrameHost(const ProgramState& s) : state(s) {}
    const ProgramState& state;
    int16_t selectingAtChange = 0;
    size_t statusesAtYield = 0;
    bool windowEnabledAtYield = true;
    void selectionChanged() override
    {
        RecordingHost::selectionChanged();
        selectingAtChange = state.selecting;
    }
    void yield() override
    {
        RecordingHost::yield();
        statusesAtYield = statuses.size();
        windowEnabledAtYield = mainWindowEnabled;
    }
};

TEST(Selection, ProgressFrameOnHundredAndOneEntries)
{
    ProgramState state;
    std::vector<Occurrence> dups;
    for (int64_t line = 1; line <= 101; ++line)
        dups.push_back({line, 1, "same"});
    fillState(state, numberedLines(101), dups);
    FrameHost host(state);

    runSelectCommand(state, host, SelectCommand::All);

    // "正在选择...", then one text per percentage from entry index 9 (9 %) to
    // the last entry (100 %), each exact (29 stays 29), then the result.
    std::vector<std::string> expected{kSelecting};
    for (int p = 9; p <= 100; ++p)
        expected.push_back(kSelecting + "      " + std::to_string(p) + "%");
    expected.push_back("101 共  101 个重复项已选定。");
    EXPECT_EQ(host.statuses, expected);

    EXPECT_EQ(host.yields, 1);
    EXPECT_EQ(host.statusesAtYield, host.statuses.size());
    EXPECT_FALSE(host.windowEnabledAtYield);
    EXPECT_TRUE(host.mainWindowEnabled);
    EXPECT_EQ(host.selectionChanges, 1);
    EXPECT_EQ(host.selectingAtChange, -1);
    EXPECT_EQ(state.selecting, 0);
    EXPECT_EQ(host.pointer, Pointer::Default);
}

TEST(Selection, StatusIsSentOnlyWhenThePercentageChanges)
{
    ProgramState state;
    std::vector<Occurrence> dups;
    for (int64_t line = 1; line <= 100000; ++line)
        dups.push_back({line, (line + 1) / 2 * 2 - 1, "k"});
    fillState(state, numberedLines(100000), dups);
    RecordingHost host;

    runSelectCommand(state, host, SelectCommand::AllButLast);

    EXPECT_EQ(host.statuses.size(), 1u + 101u + 1u);
    EXPECT_EQ(host.statuses[1], kSelecting + "      0%");
    EXPECT_EQ(host.status(), "50000 共  100000 个重复项已选定。");
}

TEST(Selection, TinyAndMissingListsAreSafe)
{
    RecordingHost host;
    ProgramState none;  // before any scan
    runSelectCommand(none, host, SelectCommand::AllButLast);
    EXPECT_EQ(host.status(), "0 共  0 个重复项已选定。");

    ProgramState empty;
    fillState(empty, numberedLines(3), {});
    runSelectCommand(empty, host, SelectCommand::AllButLast);
    EXPECT_EQ(empty.selectedCount, 0);
    runSelectCommand(empty, host, SelectCommand::AllButFirst);
    EXPECT_EQ(empty.selectedCount, 0);

    ProgramState one;
    fillState(one, numberedLines(3), {{2, 2, "k"}});
    runSelectCommand(one, host, SelectCommand::All);
    EXPECT_EQ(host.status(), "1 共  1 个重复项已选定。");
    runSelectCommand(one, host, SelectCommand::AllButLast);
    EXPECT_EQ(one.selectedCount, 0);
    EXPECT_FALSE(one.dupsList->Selected(0));
}

TEST(Selection, HandCheckAdjustsCountByOne)
{
    ProgramState state;
    fillExample(state);
    RecordingHost host;
    runSelectCommand(state, host, SelectCommand::All);

    state.dupsList->SetSelected(1, false);
    lstDups_ItemCheck(state, host, 1);
    EXPECT_EQ(state.selectedCount, 4);
    EXPECT_EQ(host.status(), "4 共  5 个重复项已选定。");
    state.dupsList->SetSelected(1, true);
    lstDups_ItemCheck(state, host, 1);
    EXPECT_EQ(state.selectedCount, 5);

    // While a command runs, and for entries that do not exist, nothing happens.
    size_t shown = host.statuses.size();
    state.selecting = -1;
    lstDups_ItemCheck(state, host, 1);
    state.selecting = 0;
    lstDups_ItemCheck(state, host, 5);
    lstDups_ItemCheck(state, host, -1);
    EXPECT_EQ(state.selectedCount, 5);
    EXPECT_EQ(host.statuses.size(), shown);
}

TEST(Selection, BigFileCommandsWorkOnTheStoreAndHandChecksDoNothing)
{
    ProgramState state;
    fillState(state, numberedLines(12), {{3, 3, "abc"}, {7, 3, "abc"}, {5, 5, "x"}, {9, 5, "x"}},
              /*bigFile=*/true);
    RecordingHost host;
    runSelectCommand(state, host, SelectCommand::AllButFirst);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{7, 9}));
    EXPECT_EQ(host.status(), "2 共  4 个重复项已选定。");

    size_t shown = host.statuses.size();
    lstDups_ItemCheck(state, host, 0);  // the placeholder entry
    EXPECT_EQ(state.selectedCount, 2);
    EXPECT_EQ(host.statuses.size(), shown);
    EXPECT_EQ(locateLine(state, 0), -1);
}

TEST(Selection, LocateLineReadsThePaddedNumber)
{
    ProgramState state;
    fillState(state, numberedLines(1000), {{7, 7, "x"}, {900, 7, "x"}});
    ASSERT_EQ(state.dupsList->List(0), "[0007]   x");
    EXPECT_EQ(locateLine(state, 0), 6);
    EXPECT_EQ(locateLine(state, 1), 899);
    EXPECT_EQ(locateLine(state, 2), -1);
    state.selecting = -1;
    EXPECT_EQ(locateLine(state, 0), -1);
}

}  // namespace
}  // namespace quillow
