#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/gnu_options.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;

// Slash values cannot hold absolute Linux paths ("/tmp/..." holds "/t" and
// worse), so these tests work in a temporary folder with relative names.
class InTempDir {
public:
    InTempDir() : old_(std::filesystem::current_path()) { std::filesystem::current_path(dir.path()); }
    ~InTempDir() { std::filesystem::current_path(old_); }
    TempDir dir;

private:
    std::filesystem::path old_;
};

struct Fields {
    std::string i, o, s, c, r, m, f, x, a, p;
    int16_t mode;
};

Fields fieldsOf(const ProgramState& st)
{
    return {st.cmdLineInputFile,      st.cmdLineOutputFile, st.cmdLineSelectMode, st.cmdLineCaseSensitive,
            st.cmdLineTrimLines,      st.cmdLineSaveEmptyLines, st.cmdLineStartPos, st.cmdLineRegExp,
            st.cmdLineRegExpMatch,    st.cmdLineApplyFilter, st.cmdLineMode};
}

void expectFields(const Fields& got, const Fields& want, const std::string& name)
{
    EXPECT_EQ(got.i, want.i) << name << ": /i";
    EXPECT_EQ(got.o, want.o) << name << ": /o";
    EXPECT_EQ(got.s, want.s) << name << ": /s";
    EXPECT_EQ(got.c, want.c) << name << ": /c";
    EXPECT_EQ(got.r, want.r) << name << ": /r";
    EXPECT_EQ(got.m, want.m) << name << ": /m";
    EXPECT_EQ(got.f, want.f) << name << ": /f";
    EXPECT_EQ(got.x, want.x) << name << ": /x";
    EXPECT_EQ(got.a, want.a) << name << ": /a";
    EXPECT_EQ(got.p, want.p) << name << ": /p";
    EXPECT_EQ(got.mode, want.mode) << name << ": cmdLineMode";
}

TEST(ParseCommandLine, SplitsCleansChecksAndDecides)
{
    InTempDir cwd;
    cwd.dir.write("in.txt", "a\na\n");
    cwd.dir.write(" a.txt ", "a\na\n");
    cwd.dir.write("数据.txt", "a\na\n");
    std::filesystem::create_directory(cwd.dir.path() / "folder");
    std::filesystem::create_symlink("in.txt", cwd.dir.path() / "link.txt");
    std::filesystem::create_symlink("missing.txt", cwd.dir.path() / "dangling.txt");

    struct Row {
        const char* name;
        std::string text;
        Fields want;
    };
    const Row rows[] = {
        {"plain", "/i in.txt /o out.txt /s 2", {"in.txt", "out.txt", "2", "", "", "", "", "", "", "", -1}},
        {"no blanks, quoted paths", "/i\"in.txt\"/o\"out.txt\"/s3/c off",
         {"in.txt", "out.txt", "3", "off", "", "", "", "", "", "", -1}},
        {"value cut at a switch text", "/i in.txt /o C:/data/x.txt /s 2",
         {"in.txt", "C:/data", "2", "", "", "", "", ".txt", "", "", -1}},
        {"capital /S is no switch", "/i in.txt /o out.txt /S 2",
         {"in.txt", "out.txt /S 2", "", "", "", "", "", "", "", "", 0}},
        {"capital /I is no switch", "/I in.txt /o out.txt /s 2", {"", "out.txt", "2", "", "", "", "", "", "", "", 0}},
        {"on/off ignoring case, others emptied", "/i in.txt /o o /s 1 /c ON /r Off /m yes /p 1",
         {"in.txt", "o", "1", "ON", "Off", "", "", "", "", "", -1}},
        {"negative start and match", "/i in.txt /o o /s 1 /f -3 /a -5",
         {"in.txt", "o", "1", "", "", "", "0", "", "-1", "", -1}},
        {"match -1 and text numbers stay", "/i in.txt /o o /s 1 /f 3x /a -1",
         {"in.txt", "o", "1", "", "", "", "3x", "", "-1", "", -1}},
        {"blanks inside quotes survive", "/i\" a.txt \"/o out /s 1",
         {" a.txt ", "out", "1", "", "", "", "", "", "", "", -1}},
        {"quotes inside are removed", "/i in.txt /o \"my \"\"out\" /s 1 /x \"a b\"",
         {"in.txt", "my out", "1", "", "", "", "", "a b", "", "", -1}},
        {"repeated switch replaces", "/i nothing.txt /i in.txt /o o /s 2",
         {"in.txt", "o", "2", "", "", "", "", "", "", "", -1}},
        {"text before the first switch dropped", "DEBUG_MODE /i in.txt /o o /s 2",
         {"in.txt", "o", "2", "", "", "", "", "", "", "", -1}},
        {"no /i /o /s: all values empty", "/c on /f 3", {"", "", "", "", "", "", "", "", "", "", 0}},
        {"select must be exactly 1, 2 or 3", "/i in.txt /o o /s 02", {"in.txt", "o", "02", "", "", "", "", "", "", "", 0}},
        {"missing output", "/i in.txt /s 2", {"in.txt", "", "2", "", "", "", "", "", "", "", 0}},
        {"missing input file", "/i nope.txt /o o /s 2", {"nope.txt", "o", "2", "", "", "", "", "", "", "", 0}},
        {"a folder does not match", "/i folder /o o /s 2", {"folder", "o", "2", "", "", "", "", "", "", "", 0}},
        {"a symlink to a file matches", "/i link.txt /o o /s 2", {"link.txt", "o", "2", "", "", "", "", "", "", "", -1}},
        {"a dangling symlink does not", "/i dangling.txt /o o /s 2",
         {"dangling.txt", "o", "2", "", "", "", "", "", "", "", 0}},
        {"UTF-8 path", "/i 数据.txt /o 出.txt /s 2", {"数据.txt", "出.txt", "2", "", "", "", "", "", "", "", -1}},
        {"switch at the very end", "/i in.txt /o o /s 2 /x", {"in.txt", "o", "2", "", "", "", "", "", "", "", -1}},
    };
    for (const Row& row : rows) {
        ProgramState st;
        st.cmdLineRegExp = "left over";
        ParseCommandLine(st, row.text);
        expectFields(fieldsOf(st), row.want, row.name);
    }
}

TEST(ParseCommandLine, EmptyTextEmptiesTheValuesAndLeavesTheModeAlone)
{
    ProgramState st;
    st.cmdLineInputFile = "x";
    ParseCommandLine(st, "");
    EXPECT_EQ(st.cmdLineInputFile, "");
    EXPECT_EQ(st.cmdLineMode, 0);
}

TEST(ArgumentText, JoinsWithBlanks)
{
    EXPECT_EQ(argumentText({}), "");
    EXPECT_EQ(argumentText({"/i", "a b.txt", "/s2"}), "/i a b.txt /s2");
}

TEST(ApplyCommandLineOverrides, OnOffNumbersAndFilter)
{
    struct Row {
        const char* name;
        std::string c, f, x, a, p;
        int16_t caseSensitive, startPos, match, applyFilter;
        std::string regExp;
    };
    // Before each row: caseSensitive 1, iStartPos 7, iRegExpMatch 2,
    // saveApplyFilter 1, sRegExp "old".
    const Row rows[] = {
        {"nothing given", "", "", "", "", "", 1, 7, 2, 1, "old"},
        {"ON / off", "ON", "", "", "", "off", 1, 7, 2, 0, "old"},
        {"off / ON", "off", "", "", "", "ON", 0, 7, 2, 1, "old"},
        {"numbers", "", "4", "\\d+", "-1", "", 1, 4, -1, 1, "\\d+"},
        {"halves to even", "", "2.5", "", "3.5", "", 1, 2, 4, 1, "old"},
        {"not numbers are ignored", "", "abc", "", "3x", "", 1, 7, 2, 1, "old"},
        {"beyond 16 bits is ignored", "", "40000", "", "-40000", "", 1, 7, 2, 1, "old"},
    };
    for (const Row& row : rows) {
        ProgramState st;
        st.caseSensitive = 1;
        st.iStartPos = 7;
        st.iRegExpMatch = 2;
        st.saveApplyFilter = 1;
        st.sRegExp = "old";
        st.cmdLineCaseSensitive = row.c;
        st.cmdLineStartPos = row.f;
        st.cmdLineRegExp = row.x;
        st.cmdLineRegExpMatch = row.a;
        st.cmdLineApplyFilter = row.p;
        ApplyCommandLineOverrides(st);
        EXPECT_EQ(st.caseSensitive, row.caseSensitive) << row.name;
        EXPECT_EQ(st.iStartPos, row.startPos) << row.name;
        EXPECT_EQ(st.iRegExpMatch, row.match) << row.name;
        EXPECT_EQ(st.saveApplyFilter, row.applyFilter) << row.name;
        EXPECT_EQ(st.sRegExp, row.regExp) << row.name;
    }
}

// ---- GNU-style options -------------------------------------------------

TEST(GnuOptions, SyntaxIsChosenByALeadingDash)
{
    EXPECT_FALSE(usesGnuSyntax({"/i", "in.txt", "/o", "out.txt", "/s", "2"}));
    EXPECT_TRUE(usesGnuSyntax({"/i", "in.txt", "-o", "out.txt"}));
    EXPECT_TRUE(usesGnuSyntax({"in.txt", "--list"}));
    EXPECT_FALSE(usesGnuSyntax({}));
}

TEST(GnuOptions, FillsEveryValue)
{
    GnuOptions o = parseGnuOptions({"--input=/data/in.txt", "--output", "/data/out.txt", "--select=all-but-last",
                                    "--case=ON", "-r", "off", "--save-empty", "on", "-f4", "-x", "^(\\w+)",
                                    "--match=-1", "-p", "On", "-q"});
    ASSERT_EQ(o.action, GnuOptions::Action::Run) << o.error;
    EXPECT_EQ(o.input, "/data/in.txt");
    EXPECT_EQ(o.output, "/data/out.txt");
    EXPECT_EQ(o.select, "3");
    EXPECT_EQ(o.caseSensitive, "on");
    EXPECT_EQ(o.trimLines, "off");
    EXPECT_EQ(o.saveEmptyLines, "on");
    EXPECT_EQ(o.startPos, "4");
    EXPECT_EQ(o.regExp, "^(\\w+)");
    EXPECT_EQ(o.regExpMatch, "-1");
    EXPECT_EQ(o.applyFilter, "on");
    EXPECT_TRUE(o.quiet);
    EXPECT_FALSE(o.inputIsStdin);
    EXPECT_FALSE(o.clearRegExp);
}

TEST(GnuOptions, ShapesOfArguments)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        GnuOptions::Action action;
        std::string input, output, select;
        bool stdinIn, stdoutOut, quiet;
    };
    using A = GnuOptions::Action;
    const Row rows[] = {
        {"aliases", {"-i", "a", "-o", "b", "-s", "all"}, A::Run, "a", "b", "1", false, false, false},
        {"attached values", {"-s2", "-ob", "-ia"}, A::Run, "a", "b", "2", false, false, false},
        {"positional input after options", {"-o", "b", "-s", "1", "a"}, A::Run, "a", "b", "1", false, false, false},
        {"bundled flags", {"-lq", "a"}, A::List, "a", "", "", false, false, true},
        {"list with options", {"--list", "-c", "on", "a"}, A::List, "a", "", "", false, false, false},
        {"abbreviated long option", {"--li", "a"}, A::List, "a", "", "", false, false, false},
        {"standard streams", {"-i", "-", "-o", "-", "-s", "3"}, A::Run, "", "", "3", true, true, false},
        {"positional - is stdin", {"-o", "b", "-s", "3", "-"}, A::Run, "", "b", "3", true, false, false},
        {"-- ends the options", {"-o", "b", "-s", "1", "--", "-odd name"}, A::Run, "-odd name", "b", "1", false,
         false, false},
        {"help wins", {"-i", "a", "--help", "--bogus"}, A::Help, "", "", "", false, false, false},
        {"version", {"-V"}, A::Version, "", "", "", false, false, false},
    };
    for (const Row& r : rows) {
        GnuOptions o = parseGnuOptions(r.args);
        EXPECT_EQ(o.action, r.action) << r.name << ": " << o.error;
        if (o.action != r.action || r.action == A::Help || r.action == A::Version)
            continue;
        EXPECT_EQ(o.input, r.input) << r.name;
        EXPECT_EQ(o.output, r.output) << r.name;
        EXPECT_EQ(o.select, r.select) << r.name;
        EXPECT_EQ(o.inputIsStdin, r.stdinIn) << r.name;
        EXPECT_EQ(o.outputIsStdout, r.stdoutOut) << r.name;
        EXPECT_EQ(o.quiet, r.quiet) << r.name;
    }
}

TEST(GnuOptions, BadUsageIsOneClearLine)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string mentions;
    };
    const Row rows[] = {
        {"unknown short", {"-z", "-i", "a", "-o", "b", "-s", "1"}, "'-z'"},
        {"unknown long", {"--frobnicate", "a"}, "--frobnicate"},
        {"ambiguous abbreviation", {"--s", "1", "a"}, "--s"},
        {"missing value", {"-i", "a", "-s", "1", "-o"}, "--output"},
        {"value on a flag", {"--list=yes", "a"}, "--list"},
        {"bad on/off", {"-i", "a", "-o", "b", "-s", "1", "-c", "maybe"}, "maybe"},
        {"bad select", {"-i", "a", "-o", "b", "-s", "4"}, "'4'"},
        {"negative start", {"-i", "a", "-o", "b", "-s", "1", "-f", "-3"}, "-3"},
        {"fractional start", {"-i", "a", "-o", "b", "-s", "1", "-f", "2.5"}, "2.5"},
        {"start beyond 16 bits", {"-i", "a", "-o", "b", "-s", "1", "-f", "40000"}, "40000"},
        {"match below -1", {"-i", "a", "-o", "b", "-s", "1", "-a", "-2"}, "-2"},
        {"match not a number", {"-i", "a", "-o", "b", "-s", "1", "--match", "x"}, "'x'"},
        {"no input", {"-o", "b", "-s", "1"}, "input"},
        {"two inputs", {"-i", "a", "-o", "b", "-s", "1", "c"}, "input"},
        {"no output", {"-i", "a", "-s", "1"}, "output"},
        {"no selection", {"-i", "a", "-o", "b"}, "-s"},
        {"list with output", {"--list", "-o", "b", "a"}, "-o"},
    };
    for (const Row& r : rows) {
        GnuOptions o = parseGnuOptions(r.args);
        EXPECT_EQ(o.action, GnuOptions::Action::Error) << r.name;
        EXPECT_NE(o.error.find(r.mentions), std::string::npos) << r.name << ": " << o.error;
        EXPECT_EQ(o.error.find('\n'), std::string::npos) << r.name;
    }
}

TEST(GnuOptions, HelpDescribesEachOptionOnceForEachProgram)
{
    const std::vector<std::string> both = {"-i, --input=FILE", "-o, --output=FILE", "-s, --select=RULE",
                                           "-c, --case=on|off", "-r, --trim=on|off", "-m, --save-empty=on|off",
                                           "-f, --start=N", "-x, --regex=PATTERN", "-a, --match=N",
                                           "-p, --apply-filter=on|off", "-h, --help", "-V, --version"};
    const std::vector<std::string> cliOnly = {"-l, --list", "-q, --quiet", "- reads standard input",
                                              "- writes to standard output"};
    for (HelpProgram program : {HelpProgram::Desktop, HelpProgram::Cli}) {
        const std::string help = gnuOptionsHelp(program);
        SCOPED_TRACE(help);
        for (const std::string& option : both) {
            const size_t at = help.find(option);
            ASSERT_NE(at, std::string::npos) << option;
            EXPECT_EQ(help.find(option, at + 1), std::string::npos) << option;
        }
        for (const std::string& text : cliOnly)
            EXPECT_EQ(help.find(text) != std::string::npos, program == HelpProgram::Cli) << text;
        EXPECT_EQ(help.back(), '\n');
    }
}

TEST(GnuOptions, ApplyDecidesLikeTheSlashSwitches)
{
    TempDir dir;
    std::string in = dir.write("in.txt", "a\na\n");
    std::filesystem::create_directory(dir.path() / "folder");

    ProgramState st;
    st.sRegExp = "stored";
    GnuOptions o = parseGnuOptions({"-i", in, "-o", "/abs/out.txt", "-s", "2", "-x", "x"});
    EXPECT_EQ(applyGnuOptions(o, st), "");
    EXPECT_EQ(st.cmdLineMode, -1);
    EXPECT_EQ(st.cmdLineInputFile, in);
    EXPECT_EQ(st.cmdLineOutputFile, "/abs/out.txt");
    EXPECT_EQ(st.cmdLineSelectMode, "2");
    EXPECT_EQ(st.cmdLineRegExp, "x");
    EXPECT_EQ(st.sRegExp, "stored");  // overrides wait for the run

    ProgramState list;
    EXPECT_EQ(applyGnuOptions(parseGnuOptions({"--list", in}), list), "");
    EXPECT_EQ(list.cmdLineMode, -1);

    ProgramState folder;
    EXPECT_NE(applyGnuOptions(parseGnuOptions({"-l", dir.file("folder")}), folder), "");
    EXPECT_EQ(folder.cmdLineMode, 0);

    ProgramState missing;
    std::string why = applyGnuOptions(parseGnuOptions({"-i", dir.file("nope"), "-o", "b", "-s", "1"}), missing);
    EXPECT_NE(why.find("nope"), std::string::npos) << why;
    EXPECT_EQ(missing.cmdLineMode, 0);

    ProgramState cleared;
    cleared.sRegExp = "stored";
    EXPECT_EQ(applyGnuOptions(parseGnuOptions({"-i", in, "-o", "b", "-s", "1", "--regex="}), cleared), "");
    EXPECT_EQ(cleared.sRegExp, "");
}

// ---- The unattended run ------------------------------------------------
// These drive the real scan, selection and save through a recording host.

struct UnattendedRun {
    TempDir dir;
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    RecordingHost host;

    RunOutcome go(const std::string& input, const std::string& output, const std::string& select)
    {
        ProgramState& st = *state;
        st.cmdLineInputFile = input;
        st.cmdLineOutputFile = output;
        st.cmdLineSelectMode = select;
        decideCommandLineMode(st);
        return RunCommandLine(st, host);
    }
};

TEST(RunCommandLine, DoesNothingUnlessTheDecisionPassed)
{
    ProgramState st;
    RecordingHost host;
    st.cmdLineCaseSensitive = "on";
    EXPECT_EQ(RunCommandLine(st, host), RunOutcome::NotRun);
    EXPECT_EQ(st.caseSensitive, 0);
    EXPECT_TRUE(host.statuses.empty());
}

TEST(RunCommandLine, KeepsTheFirstOccurrenceWithoutAskingAnything)
{
    UnattendedRun r;
    std::string in = r.dir.write("in.txt", "a\nb\na\nc\na\n");
    std::string out = r.dir.file("out.txt");
    r.state->cmdLineCaseSensitive = "ON";
    EXPECT_EQ(r.go(in, out, "2"), RunOutcome::Written);
    EXPECT_EQ(readFile(out), "a\nb\nc\n");
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_TRUE(r.host.saveRequests.empty());
    EXPECT_TRUE(r.host.openRequests.empty());
    EXPECT_EQ(r.state->caseSensitive, 1);
    EXPECT_EQ(r.state->cmdLineMode, -1);
}

TEST(RunCommandLine, SelectionRules)
{
    struct Row {
        const char* select;
        const char* expected;
    };
    const Row rows[] = {{"1", "b\nc\n"}, {"2", "a\nb\nc\n"}, {"3", "b\nc\na\n"}};
    for (const Row& row : rows) {
        UnattendedRun r;
        std::string in = r.dir.write("in.txt", "a\nb\na\nc\na\n");
        EXPECT_EQ(r.go(in, r.dir.file("out.txt"), row.select), RunOutcome::Written) << row.select;
        EXPECT_EQ(readFile(r.dir.file("out.txt")), row.expected) << row.select;
    }
}

TEST(RunCommandLine, NegativeStartAndMatchAreHeldAtTheirLimits)
{
    InTempDir cwd;
    cwd.dir.write("in.txt", "1 x\n2 x\n");
    auto st = std::make_unique<ProgramState>();
    RecordingHost host;
    ParseCommandLine(*st, "/i in.txt /o out.txt /s 2 /f -3 /a -5");
    ASSERT_EQ(st->cmdLineMode, -1);
    EXPECT_EQ(RunCommandLine(*st, host), RunOutcome::NothingToDo);  // offset 0: the lines differ
    EXPECT_EQ(st->iStartPos, 0);
    EXPECT_EQ(st->iRegExpMatch, -1);
    EXPECT_FALSE(std::filesystem::exists(cwd.dir.path() / "out.txt"));
}

TEST(RunCommandLine, OutcomesWhenNothingIsWritten)
{
    {
        UnattendedRun r;  // no duplicates: no output file at all
        std::string in = r.dir.write("in.txt", "a\nb\n");
        EXPECT_EQ(r.go(in, r.dir.file("out.txt"), "2"), RunOutcome::NothingToDo);
        EXPECT_FALSE(std::filesystem::exists(r.dir.file("out.txt")));
    }
    {
        UnattendedRun r;  // an empty file holds no duplicates either
        std::string in = r.dir.write("in.txt", "");
        EXPECT_EQ(r.go(in, r.dir.file("out.txt"), "2"), RunOutcome::NothingToDo);
        EXPECT_FALSE(std::filesystem::exists(r.dir.file("out.txt")));
    }
    {
        UnattendedRun r;  // the input vanished between the decision and the scan
        std::string in = r.dir.write("in.txt", "a\na\n");
        r.state->cmdLineInputFile = in;
        r.state->cmdLineOutputFile = r.dir.file("out.txt");
        r.state->cmdLineSelectMode = "1";
        decideCommandLineMode(*r.state);
        std::filesystem::remove(in);
        EXPECT_EQ(RunCommandLine(*r.state, r.host), RunOutcome::InputError);
    }
    {
        UnattendedRun r;  // the output folder does not exist
        std::string in = r.dir.write("in.txt", "a\na\n");
        EXPECT_EQ(r.go(in, r.dir.file("missing/out.txt"), "2"), RunOutcome::OutputError);
    }
}

TEST(RunCommandLine, ScanOnlyLeavesTheResults)
{
    UnattendedRun r;
    std::string in = r.dir.write("in.txt", "x\ny\nx\n");
    r.state->cmdLineInputFile = in;
    r.state->cmdLineMode = -1;
    EXPECT_EQ(RunCommandLine(*r.state, r.host, true), RunOutcome::DuplicatesFound);
    ASSERT_TRUE(r.state->dupsList);
    ASSERT_EQ(r.state->dupsList->ListCount(), 2);
    EXPECT_EQ(r.state->dupsList->List(0), "[1]   x");
    EXPECT_EQ(r.state->dupsList->List(1), "[3]   x");
}

TEST(RunCommandLine, ConfirmedStopEndsTheRunAndClearsTheMode)
{
    UnattendedRun r;
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "line " + std::to_string(i % 100) + "\n";
    std::string in = r.dir.write("in.txt", text);
    ProgramState& st = *r.state;
    r.host.onYield = [&st] { st.stopRequested = -1; };
    r.host.answers.push_back(Answer::Yes);
    EXPECT_EQ(r.go(in, r.dir.file("out.txt"), "2"), RunOutcome::Stopped);
    EXPECT_EQ(st.cmdLineMode, 0);
    EXPECT_FALSE(std::filesystem::exists(r.dir.file("out.txt")));
}

}  // namespace
}  // namespace quillow
