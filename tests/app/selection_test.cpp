#include "app/flows/select_flow.h"

#include <gtest/gtest.h>

#include <set>

#include "support/dups_fixture.h"
#include "support/recording_front_end.h"

namespace quillow {
namespace {

using testing::numberedLines;
using testing::Occurrence;
using testing::RecordingFrontEnd;

const std::string kSelecting = "正在选择...";

// What the selection works on; each selection gets a front end of its own.
struct State {
    Settings settings;
    RecordingFrontEnd unused;
    Session session{settings, unused};
    ScanResult& result = session.result;
};

void fill(State& state, const std::vector<std::string>& lines, const std::vector<Occurrence>& dups)
{
    testing::fillResult(state.result, lines, dups);
}

void select(State& state, RecordingFrontEnd& host, SelectCommand command)
{
    Session session(state.settings, host);
    session.result = state.result;
    selectEntries(session, command);
}

std::set<int64_t> selectedLines(const State& state)
{
    std::set<int64_t> lines;
    for (int64_t i = 0; i < state.result.dups->count(); ++i)
        if (state.result.dups->isSelected(i))
            lines.insert(state.result.dups->lineNumber(i));
    return lines;
}

void markLines(State& state, const std::set<int64_t>& lines)
{
    for (int64_t i = 0; i < state.result.dups->count(); ++i) {
        bool on = lines.count(state.result.dups->lineNumber(i)) != 0;
        state.result.dups->setSelected(i, on);
    }
}

// A file of 12 lines: lines 3, 7, 11 have the key abc, lines 5 and 9 the key x.
void fillExample(State& state)
{
    fill(state, numberedLines(12),
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
    State state;
    fillExample(state);
    ASSERT_EQ(state.result.dups->text(2), "[11]   abc");
    ASSERT_EQ(state.result.dups->text(3), "[05]   x");
    markLines(state, c.before);
    RecordingFrontEnd host;

    select(state, host, c.command);

    EXPECT_EQ(selectedLines(state), c.after);
    EXPECT_EQ(state.result.dups->selectedCount(), static_cast<int64_t>(c.after.size()));
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
    State state;
    fill(state, numberedLines(12),
              {{3, 3, "abc"}, {7, 3, "ABC"}, {4, 4, "ß"}, {8, 4, "SS"}, {10, 4, "ss"}});
    RecordingFrontEnd host;
    select(state, host, SelectCommand::AllButFirst);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{7, 8, 10}));
    select(state, host, SelectCommand::AllButLast);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{3, 4, 8}));
    EXPECT_EQ(host.status(), "3 共  5 个重复项已选定。");

    // Case-sensitive scan: neighbouring groups whose keys differ only in case
    // stay apart.
    State exact;
    fill(exact, numberedLines(4), {{1, 1, "abc"}, {2, 1, "abc"}, {3, 3, "ABC"}, {4, 3, "ABC"}});
    select(exact, host, SelectCommand::AllButFirst);
    EXPECT_EQ(selectedLines(exact), (std::set<int64_t>{2, 4}));
    select(exact, host, SelectCommand::AllButLast);
    EXPECT_EQ(selectedLines(exact), (std::set<int64_t>{1, 3}));
}

TEST(Selection, InvertTwiceRestoresFlagsAndCount)
{
    State state;
    fillExample(state);
    markLines(state, {5, 11});
    RecordingFrontEnd host;
    select(state, host, SelectCommand::Invert);
    EXPECT_EQ(state.result.dups->selectedCount(), 3);
    select(state, host, SelectCommand::Invert);
    EXPECT_EQ(selectedLines(state), (std::set<int64_t>{5, 11}));
    EXPECT_EQ(state.result.dups->selectedCount(), 2);
}

TEST(Selection, ShortListShowsNoPercentage)
{
    State state;
    std::vector<Occurrence> dups;
    for (int64_t line = 1; line <= 7; ++line)
        dups.push_back({line, 1, "k"});
    fill(state, numberedLines(7), dups);
    markLines(state, {2, 5});
    RecordingFrontEnd host;

    select(state, host, SelectCommand::None);

    ASSERT_GE(host.statuses.size(), 2u);
    EXPECT_EQ(host.statuses.front(), kSelecting);
    EXPECT_EQ(host.status(), "0 共  7 个重复项已选定。");
    EXPECT_EQ(host.selectionChanges, 1);
    EXPECT_TRUE(selectedLines(state).empty());
}

TEST(Selection, TinyAndMissingListsAreSafe)
{
    RecordingFrontEnd host;
    State none;  // before any scan
    select(none, host, SelectCommand::AllButLast);
    EXPECT_EQ(host.status(), "0 共  0 个重复项已选定。");

    State empty;
    fill(empty, numberedLines(3), {});
    select(empty, host, SelectCommand::AllButLast);
    EXPECT_EQ(empty.result.dups->selectedCount(), 0);
    select(empty, host, SelectCommand::AllButFirst);
    EXPECT_EQ(empty.result.dups->selectedCount(), 0);

    State one;
    fill(one, numberedLines(3), {{2, 2, "k"}});
    select(one, host, SelectCommand::All);
    EXPECT_EQ(host.status(), "1 共  1 个重复项已选定。");
    select(one, host, SelectCommand::AllButLast);
    EXPECT_EQ(one.result.dups->selectedCount(), 0);
    EXPECT_FALSE(one.result.dups->isSelected(0));
}

TEST(Selection, HandCheckShowsTheCount)
{
    State state;
    fillExample(state);
    RecordingFrontEnd host;
    select(state, host, SelectCommand::All);

    Session session(state.settings, host);
    session.result = state.result;
    state.result.dups->setSelected(1, false);
    entryCheckChanged(session, 1);
    EXPECT_EQ(state.result.dups->selectedCount(), 4);
    EXPECT_EQ(host.status(), "4 共  5 个重复项已选定。");
    state.result.dups->setSelected(1, true);
    entryCheckChanged(session, 1);
    EXPECT_EQ(state.result.dups->selectedCount(), 5);

    // For entries that do not exist nothing happens.
    size_t shown = host.statuses.size();
    entryCheckChanged(session, 5);
    entryCheckChanged(session, -1);
    EXPECT_EQ(state.result.dups->selectedCount(), 5);
    EXPECT_EQ(host.statuses.size(), shown);
}

TEST(Selection, LocateLineReadsThePaddedNumber)
{
    State state;
    fill(state, numberedLines(1000), {{7, 7, "x"}, {900, 7, "x"}});
    ASSERT_EQ(state.result.dups->text(0), "[0007]   x");
    EXPECT_EQ(lineOfEntry(state.result, 0), 6);
    EXPECT_EQ(lineOfEntry(state.result, 1), 899);
    EXPECT_EQ(lineOfEntry(state.result, 2), -1);
}

}  // namespace
}  // namespace quillow
