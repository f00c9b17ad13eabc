#include "app/command_line/command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line/command_line_help.h"
#include "app/command_line/slash_path_warning.h"
#include "app/command_line/slash_switches.h"
#include "app/unattended_run.h"
#include "support/recording_front_end.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::readFile;
using testing::RecordingFrontEnd;
using testing::TestSession;
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
    bool runs;
};

Fields fieldsOf(const std::string& text)
{
    const SlashSwitches v = splitSlashSwitches(text);
    const bool runs = parseCommandLine({text}, Program::Desktop).action == CommandLine::Action::Run;
    return {v.input,    v.output,  v.select, v.caseSensitive, v.trimLines, v.saveEmptyLines,
            v.startPos, v.pattern, v.match,  v.applyFilter,   runs};
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
    EXPECT_EQ(got.runs, want.runs) << name << ": runs";
}

TEST(SlashSwitches, SplitsCleansChecksAndDecides)
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
        {"plain", "/i in.txt /o out.txt /s 2", {"in.txt", "out.txt", "2", "", "", "", "", "", "", "", true}},
        {"no blanks, quoted paths", "/i\"in.txt\"/o\"out.txt\"/s3/c off",
         {"in.txt", "out.txt", "3", "off", "", "", "", "", "", "", true}},
        {"value cut at a switch text", "/i in.txt /o C:/data/x.txt /s 2",
         {"in.txt", "C:/data", "2", "", "", "", "", ".txt", "", "", true}},
        {"capital /S is no switch", "/i in.txt /o out.txt /S 2",
         {"in.txt", "out.txt /S 2", "", "", "", "", "", "", "", "", false}},
        {"capital /I is no switch", "/I in.txt /o out.txt /s 2", {"", "out.txt", "2", "", "", "", "", "", "", "", false}},
        {"on/off ignoring case, others emptied", "/i in.txt /o o /s 1 /c ON /r Off /m yes /p 1",
         {"in.txt", "o", "1", "ON", "Off", "", "", "", "", "", true}},
        {"negative start and match", "/i in.txt /o o /s 1 /f -3 /a -5",
         {"in.txt", "o", "1", "", "", "", "0", "", "-1", "", true}},
        {"match -1 and text numbers stay", "/i in.txt /o o /s 1 /f 3x /a -1",
         {"in.txt", "o", "1", "", "", "", "3x", "", "-1", "", true}},
        {"blanks inside quotes survive", "/i\" a.txt \"/o out /s 1",
         {" a.txt ", "out", "1", "", "", "", "", "", "", "", true}},
        {"quotes inside are removed", "/i in.txt /o \"my \"\"out\" /s 1 /x \"a b\"",
         {"in.txt", "my out", "1", "", "", "", "", "a b", "", "", true}},
        {"repeated switch replaces", "/i nothing.txt /i in.txt /o o /s 2",
         {"in.txt", "o", "2", "", "", "", "", "", "", "", true}},
        {"text before the first switch dropped", "DEBUG_MODE /i in.txt /o o /s 2",
         {"in.txt", "o", "2", "", "", "", "", "", "", "", true}},
        {"no /i /o /s: all values empty", "/c on /f 3", {"", "", "", "", "", "", "", "", "", "", false}},
        {"select must be exactly 1, 2 or 3", "/i in.txt /o o /s 02", {"in.txt", "o", "02", "", "", "", "", "", "", "", false}},
        {"missing output", "/i in.txt /s 2", {"in.txt", "", "2", "", "", "", "", "", "", "", false}},
        {"missing input file", "/i nope.txt /o o /s 2", {"nope.txt", "o", "2", "", "", "", "", "", "", "", false}},
        {"a folder does not match", "/i folder /o o /s 2", {"folder", "o", "2", "", "", "", "", "", "", "", false}},
        {"a symlink to a file matches", "/i link.txt /o o /s 2", {"link.txt", "o", "2", "", "", "", "", "", "", "", true}},
        {"a dangling symlink does not", "/i dangling.txt /o o /s 2",
         {"dangling.txt", "o", "2", "", "", "", "", "", "", "", false}},
        {"UTF-8 path", "/i 数据.txt /o 出.txt /s 2", {"数据.txt", "出.txt", "2", "", "", "", "", "", "", "", true}},
        {"switch at the very end", "/i in.txt /o o /s 2 /x", {"in.txt", "o", "2", "", "", "", "", "", "", "", true}},
    };
    for (const Row& row : rows)
        expectFields(fieldsOf(row.text), row.want, row.name);
}

TEST(CommandLine, NothingGivenOpensTheWindowOrFiltersStandardInput)
{
    EXPECT_EQ(parseCommandLine({}, Program::Desktop).action, CommandLine::Action::Interactive);
    const CommandLine cli = parseCommandLine({}, Program::Cli);
    EXPECT_EQ(cli.action, CommandLine::Action::Run);
    EXPECT_TRUE(cli.run.inputIsStdin);
    EXPECT_TRUE(cli.run.outputIsStdout);
}

TEST(ArgumentText, JoinsWithBlanks)
{
    EXPECT_EQ(argumentText({}), "");
    EXPECT_EQ(argumentText({"/i", "a b.txt", "/s2"}), "/i a b.txt /s2");
}

TEST(SlashSwitches, OverridesOnOffNumbersAndFilter)
{
    InTempDir cwd;
    cwd.dir.write("in.txt", "a\n");
    struct Row {
        const char* name;
        std::string c, f, x, a, p;
        bool caseSensitive;
        int16_t startPos, match;
        bool applyFilter;
        std::string regExp;
    };
    // Before each row: caseSensitive on, startPos 7, filterMatch 2,
    // saveApplyFilter on, filterPattern "old".
    const Row rows[] = {
        {"nothing given", "", "", "", "", "", true, 7, 2, true, "old"},
        {"ON / off", "ON", "", "", "", "off", true, 7, 2, false, "old"},
        {"off / ON", "off", "", "", "", "ON", false, 7, 2, true, "old"},
        {"numbers", "", "4", "\\d+", "-1", "", true, 4, -1, true, "\\d+"},
        {"halves to even", "", "2.5", "", "3.5", "", true, 2, 4, true, "old"},
        {"not numbers are ignored", "", "abc", "", "3x", "", true, 7, 2, true, "old"},
        {"beyond 16 bits is ignored", "", "40000", "", "-40000", "", true, 7, -1, true, "old"},
    };
    for (const Row& row : rows) {
        std::string text = "/i in.txt /o out.txt /s 1";
        for (auto [sw, value] : {std::pair{"/c ", row.c}, {"/f ", row.f}, {"/x ", row.x}, {"/a ", row.a},
                                 {"/p ", row.p}})
            if (!value.empty())
                text += std::string(" ") + sw + value;
        const CommandLine command = parseCommandLine({text}, Program::Cli);
        ASSERT_EQ(command.action, CommandLine::Action::Run) << row.name << ": " << command.error;
        Options options;
        options.caseSensitive = true;
        options.startPos = 7;
        options.filterMatch = 2;
        options.saveApplyFilter = true;
        options.filterPattern = "old";
        applyOverrides(command.run, options);
        EXPECT_EQ(options.caseSensitive, row.caseSensitive) << row.name;
        EXPECT_EQ(options.startPos, row.startPos) << row.name;
        EXPECT_EQ(options.filterMatch, row.match) << row.name;
        EXPECT_EQ(options.saveApplyFilter, row.applyFilter) << row.name;
        EXPECT_EQ(options.filterPattern, row.regExp) << row.name;
    }
}

// ---- GNU-style options -------------------------------------------------

TEST(GnuOptions, SyntaxIsChosenByTheFirstArgument)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool cli, desktop;
    };
    const Row rows[] = {
        {"slash switches", {"/i", "in.txt", "/o", "out.txt", "/s", "2"}, false, false},
        {"negative numbers as separate words", {"/i", "in.txt", "/o", "o", "/s", "2", "/f", "-3", "/a", "-5"}, false,
         false},
        {"a switch with its value attached", {"/s2", "/i", "in.txt", "-o", "x"}, false, false},
        {"DEBUG_MODE first", {"DEBUG_MODE", "-i", "in.txt"}, false, false},
        {"an option first", {"-i", "in.txt", "DEBUG_MODE"}, true, true},
        {"a file, then an option", {"in.txt", "-u"}, true, true},
        {"an absolute path that starts like a switch", {"/proc/self/status", "-u"}, true, true},
        {"a file alone", {"in.txt"}, true, false},
        {"two files", {"in.txt", "out.txt"}, true, false},
        {"nothing", {}, true, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(usesGnuSyntax(r.args, Program::Cli), r.cli) << r.name;
        EXPECT_EQ(usesGnuSyntax(r.args, Program::Desktop), r.desktop) << r.name;
    }
}

TEST(GnuOptions, FillsEveryValue)
{
    const CommandLine o = parseGnuOptions({"-i", "--skip-chars=4", "-f2", "-w", "10", "-k", "3", "-t", ",", "--trim",
                                           "--regex", "^(\\w+)", "--match=-1", "--compat", "-z", "--drop-empty",
                                           "--write-keys", "--encoding", "gb18030", "--max-memory=512m", "-v",
                                           "--keep=last", "/data/in.txt", "-o", "/data/out.txt"});
    ASSERT_EQ(o.action, CommandLine::Action::Run) << o.error;
    const RunRequest& r = o.run;
    EXPECT_EQ(r.input, "/data/in.txt");
    EXPECT_EQ(r.output, "/data/out.txt");
    EXPECT_TRUE(r.lineTool);
    EXPECT_FALSE(r.fromStoredSettings);
    EXPECT_TRUE(r.keepLast);
    EXPECT_TRUE(o.verbose);
    Options options = documentedDefaults();
    EXPECT_TRUE(options.caseSensitive);  // exact unless -i
    applyOverrides(r, options);
    EXPECT_FALSE(options.caseSensitive);
    EXPECT_EQ(options.startPos, 4);
    EXPECT_EQ(options.skipFields, 2);
    EXPECT_EQ(options.checkChars, 10);
    EXPECT_EQ(options.keyField, 3);
    EXPECT_EQ(options.fieldSeparator, ",");
    EXPECT_TRUE(options.trimLines);
    EXPECT_EQ(options.filterPattern, "^(\\w+)");
    EXPECT_EQ(options.filterMatch, -1);
    EXPECT_TRUE(options.compatForms);
    EXPECT_TRUE(options.zeroTerminated);
    EXPECT_FALSE(options.saveEmptyLines);
    EXPECT_TRUE(options.saveApplyFilter);
    EXPECT_EQ(options.textEncoding, "gb18030");
    EXPECT_EQ(options.maxMemory, "512m");
}

TEST(GnuOptions, OperandsAndWhatIsWritten)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input, output;  // "-": the standard stream
        Written written = Written::Cleaned;
        bool inPlace = false;
        bool onlyRepeated = false;
        ListForm form = ListForm::Numbered;
    };
    using W = Written;
    const Row rows[] = {
        {"nothing: standard input to standard output", {}, "-", "-"},
        {"input only", {"a"}, "a", "-"},
        {"input and output", {"a", "b"}, "a", "b"},
        {"-o as sort has it", {"-o", "b", "a"}, "a", "b"},
        {"- for both", {"-", "-"}, "-", "-"},
        {"in place", {"--in-place", "a"}, "a", "a", W::Cleaned, true},
        {"-- ends the options", {"--", "-odd name"}, "-odd name", "-"},
        {"unique", {"-u", "a"}, "a", "-", W::Unique},
        {"repeated", {"-d", "a"}, "a", "-", W::Repeated},
        {"all repeated", {"--all-repeated", "a"}, "a", "-", W::AllRepeated},
        {"count", {"-c", "a"}, "a", "-", W::Counts},
        {"count of the repeated lines", {"-cd", "a"}, "a", "-", W::Counts, false, true},
        {"abbreviated long option", {"--all-rep", "a"}, "a", "-", W::AllRepeated},
        {"list", {"--list", "--format=tsv", "a"}, "a", "", W::List, false, false, ListForm::Tsv},
    };
    for (const Row& r : rows) {
        const CommandLine o = parseGnuOptions(r.args);
        ASSERT_EQ(o.action, CommandLine::Action::Run) << r.name << ": " << o.error;
        EXPECT_EQ(o.run.inputIsStdin ? "-" : o.run.input, r.input) << r.name;
        EXPECT_EQ(o.run.outputIsStdout ? "-" : o.run.output, r.output) << r.name;
        EXPECT_EQ(o.run.written, r.written) << r.name;
        EXPECT_EQ(o.run.inPlace, r.inPlace) << r.name;
        EXPECT_EQ(o.run.onlyRepeated, r.onlyRepeated) << r.name;
        EXPECT_EQ(o.run.listForm, r.form) << r.name;
    }
    EXPECT_EQ(parseGnuOptions({"--help", "--bogus"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parseGnuOptions({"-V"}).action, CommandLine::Action::Version);
}

TEST(GnuOptions, BadUsageIsOneClearLine)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string mentions;
    };
    const Row rows[] = {
        {"unknown short", {"-y", "a"}, "'-y'"},
        {"unknown long", {"--frobnicate", "a"}, "--frobnicate"},
        {"ambiguous abbreviation", {"--s", "1", "a"}, "--s"},
        {"missing value", {"a", "-o"}, "--output"},
        {"value on a flag", {"--unique=yes", "a"}, "--unique"},
        {"bad keep", {"--keep=middle", "a"}, "'middle'"},
        {"negative skip", {"-s", "-3", "a"}, "-3"},
        {"skip beyond 16 bits", {"-s", "40000", "a"}, "40000"},
        {"fractional field count", {"-f", "2.5", "a"}, "2.5"},
        {"field 0", {"-k", "0", "a"}, "'0'"},
        {"separator of two characters", {"-t", ";;", "-k", "1", "a"}, "';;'"},
        {"match below -1", {"--match", "-2", "a"}, "-2"},
        {"three operands", {"a", "b", "c"}, "'c'"},
        {"an output twice", {"a", "b", "-o", "c"}, "'b'"},
        {"in place with an output", {"--in-place", "a", "b"}, "--in-place"},
        {"in place without a file", {"--in-place"}, "--in-place"},
        {"files and a list of files", {"--files0-from=names", "a"}, "'a'"},
        {"two modes", {"-u", "-D", "a"}, "-D (--all-repeated)"},
        {"count of unique lines", {"-c", "-u", "a"}, "-c (--count)"},
        {"list with an output", {"--list", "a", "b"}, "--list"},
        {"format without list", {"-c", "--format=tsv", "a"}, "--format"},
        {"unknown format", {"--list", "--format", "csv", "a"}, "'csv'"},
        {"unknown encoding", {"--encoding=klingon", "a"}, "klingon"},
        {"encoding not by lines", {"--encoding", "UTF-7", "a"}, "UTF-7"},
        {"memory without a size", {"--max-memory", "lots", "a"}, "'lots'"},
        {"memory of nothing", {"--max-memory=0K", "a"}, "--max-memory"},
        {"empty output name", {"-o", "", "a"}, "--output"},
    };
    for (const Row& r : rows) {
        const CommandLine o = parseGnuOptions(r.args);
        EXPECT_EQ(o.action, CommandLine::Action::Error) << r.name;
        EXPECT_NE(o.error.find(r.mentions), std::string::npos) << r.name << ": " << o.error;
        EXPECT_EQ(o.error.find('\n'), std::string::npos) << r.name;
    }
}

// A line written for the options quillow-cli read before uniq's letters
// never runs with another meaning: it is refused with the same run in
// today's options. Lines of today pass.
TEST(GnuOptions, OldSpellingsAreRefusedWithTodaysSpelling)
{
    struct Row {
        std::vector<std::string> args;
        const char* today;  // nullptr: read as today's options
    };
    const Row rows[] = {
        {{"-i", "in.txt", "-o", "out.txt", "-s", "2", "-c", "on"}, "quillow-cli in.txt -o out.txt"},
        {{"-i", "in.txt", "-o", "out.txt", "-s", "2"}, "quillow-cli -i in.txt -o out.txt"},
        {{"-i", "in.txt", "-o", "in.txt", "-s", "1", "-c", "off", "-r", "on"}, "quillow-cli -u -i --trim --in-place in.txt"},
        {{"--input=in.txt", "--output=o", "--select=all-but-last", "--case=on"}, "quillow-cli --keep=last in.txt -o o"},
        {{"-i", "-", "-o", "-", "-s", "3", "-con", "-f", "4", "-x", "^(\\w+) x", "-a", "-1", "-p", "on"},
         "quillow-cli --keep=last -s 4 --regex='^(\\w+) x' --match=-1 --write-keys"},
        {{"-s", "all", "a"}, "quillow-cli -u -i a"},
        {{"-m", "off", "-e", "GB18030", "-i", "a", "-o", "b", "-s", "2"},
         "quillow-cli -i --drop-empty --encoding=GB18030 a -o b"},
        {{"--list", "--compat", "on", "a"}, "quillow-cli --list -i --compat a"},
        {{"-lq", "a"}, "quillow-cli --list -i a"},
        {{"-s", "2", "a"}, nullptr},
        {{"-i", "a", "-o", "b"}, nullptr},
        {{"-c", "a"}, nullptr},
        {{"-cd", "--trim", "a"}, nullptr},
        {{"-i", "-s", "2", "a", "-o", "b"}, nullptr},
    };
    for (const Row& r : rows) {
        const CommandLine o = parseGnuOptions(r.args);
        if (!r.today) {
            EXPECT_EQ(o.action, CommandLine::Action::Run) << ::testing::PrintToString(r.args) << ": " << o.error;
            continue;
        }
        EXPECT_EQ(o.action, CommandLine::Action::Error) << r.today;
        EXPECT_EQ(o.error, std::string("不再接受这种选项写法（含义已改变）；现在写作：") + r.today);
    }
    // The desktop program names itself.
    EXPECT_NE(parseGnuOptions({"-i", "a", "-o", "b", "-s", "1"}, Program::Desktop).error.find("quillow -u -i a -o b"),
              std::string::npos);
}

// --help lists each option of the table once, under its heading, with the
// default of the options that have one; the desktop program leaves out
// quillow-cli's own.
TEST(GnuOptions, HelpShowsTheTable)
{
    for (Program program : {Program::Desktop, Program::Cli}) {
        const std::string help = commandLineHelp(program);
        SCOPED_TRACE(help);
        for (const OptionEntry& o : optionTable()) {
            const std::string synopsis = "\n  " + optionSynopsis(o);
            const size_t at = help.find(synopsis);
            EXPECT_EQ(at != std::string::npos, shownFor(o, program)) << synopsis;
            if (at != std::string::npos) {
                EXPECT_EQ(help.find(synopsis, at + 1), std::string::npos) << synopsis;
            }
        }
        for (const char* withDefault : {"--keep=WHICH", "--encoding=NAME", "--max-memory=SIZE", "--match=N"}) {
            const size_t at = help.find(withDefault);
            ASSERT_NE(at, std::string::npos) << withDefault;
            EXPECT_NE(help.substr(at, help.find("\n  -", at) - at).find("默认"), std::string::npos) << withDefault;
        }
        EXPECT_EQ(help.back(), '\n');
    }
}

// The desktop program runs when an output is given; options that only
// choose how to scan open FILE in the window with those options.
TEST(GnuOptions, TheDesktopRunsWithAnOutputAndOpensOtherwise)
{
    using A = CommandLine::Action;
    struct Row {
        const char* name;
        std::vector<std::string> args;
        A action;
        std::string openFile;  // or the error's words
    };
    const Row rows[] = {
        {"a run", {"-u", "in.txt", "-o", "out.txt", "DEBUG_MODE"}, A::Run, ""},
        {"in place", {"--in-place", "in.txt"}, A::Run, ""},
        {"scan options open the file", {"--max-memory", "64M", "-i", "--encoding=GB18030", "in.txt"}, A::Interactive,
         "in.txt"},
        {"a missing file is the window's to answer", {"-i", "missing.txt"}, A::Interactive, "missing.txt"},
        {"scan options without a file", {"--trim"}, A::Interactive, ""},
        {"an output mode asks for an output", {"-u", "in.txt"}, A::Error, "-o FILE"},
        {"no input", {"-o", "out.txt"}, A::Error, "输入文件"},
        {"standard streams", {"-", "-o", "out.txt"}, A::Error, "quillow-cli"},
        {"quillow-cli's own option", {"--list", "in.txt"}, A::Error, "quillow-cli"},
        {"a bad pattern", {"--regex=(", "in.txt", "-o", "o"}, A::Error, "missing closing parenthesis"},
    };
    for (const Row& r : rows) {
        const CommandLine c = parseCommandLine(r.args, Program::Desktop);
        EXPECT_EQ(c.action, r.action) << r.name << ": " << c.error;
        EXPECT_TRUE(c.gnuSyntax) << r.name;
        if (r.action == A::Error)
            EXPECT_NE(c.error.find(r.openFile), std::string::npos) << r.name << ": " << c.error;
        else
            EXPECT_EQ(c.openFile, r.openFile) << r.name;
    }
    // The scan options come with the file, over the stored ones.
    const CommandLine open = parseCommandLine({"--max-memory", "64M", "-i", "in.txt"}, Program::Desktop);
    EXPECT_TRUE(open.run.fromStoredSettings);
    Options options;
    options.trimLines = true;
    applyOverrides(open.run, options);
    EXPECT_EQ(options.maxMemory, "64M");
    EXPECT_FALSE(options.caseSensitive);
    EXPECT_TRUE(options.trimLines);
    EXPECT_TRUE(parseCommandLine({"-u", "in.txt", "-o", "b", "DEBUG_MODE"}, Program::Desktop).debugMode);
}

TEST(SlashSwitches, InvalidPatternIsAUsageErrorOfBothPrograms)
{
    InTempDir cwd;
    cwd.dir.write("in.txt", "a\na\n");
    const CommandLine cli = parseCommandLine({"/i in.txt /o out.txt /s 2 /x ("}, Program::Cli);
    EXPECT_EQ(cli.action, CommandLine::Action::Error);
    EXPECT_EQ(cli.error, "选项 /x 的正则表达式 '(' 无效: missing closing parenthesis at offset 1");
    EXPECT_TRUE(cli.errorIsUsage);
    EXPECT_EQ(parseCommandLine({"/i in.txt /o out.txt /s 2 /x ("}, Program::Desktop).error, cli.error);
}

TEST(SlashSwitches, PathsCutBySwitchesAreFound)
{
    TempDir dir;
    // Holds "/i" (and more): "/tmp/.../in.txt".
    const std::string in = dir.write("in.txt", "a\n");
    const std::string absent = dir.file("out.txt");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string found;
    } rows[] = {
        {"an existing file", {"/i", in, "/o", "out.txt", "/s", "2"}, in},
        {"a new file in an existing folder", {"/i", "in.txt", "/o", absent, "/s", "2"}, absent},
        {"a path that does not exist", {"/i", "g.txt", "/o", "/nonexistent/x", "/s", "2"}, "/nonexistent/x"},
        {"a relative path", {"/i", "data/in.txt", "/o", "b", "/s", "2"}, "data/in.txt"},
        {"relative names", {"/i", "in.txt", "/o", "out.txt", "/s", "2"}, ""},
        {"a packed switch", {"/iin.txt", "/oout.txt", "/s2"}, ""},
        {"switches in one argument", {"/i in.txt /o out.txt /s 2"}, ""},
        {"a path without switch texts", {"/i", "/usr", "/o", "b", "/s", "1"}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pathCutBySwitches(row.args), row.found) << row.name;
}

// ---- The unattended run ------------------------------------------------
// These drive the real scan, selection and save through a recording host.

struct UnattendedRun : TestSession {
    TempDir dir;

    RunOutcome go(const RunRequest& request) { return runUnattended(session, request); }
    RunOutcome go(const std::string& input, const std::string& output, SelectCommand select)
    {
        RunRequest request;
        request.input = input;
        request.output = output;
        request.select = select;
        return go(request);
    }
};

TEST(UnattendedRun, KeepsTheFirstOccurrenceWithoutAskingAnything)
{
    UnattendedRun r;
    RunRequest request;
    request.input = r.dir.write("in.txt", "a\nb\na\nc\na\n");
    request.output = r.dir.file("out.txt");
    request.select = SelectCommand::AllButFirst;
    request.caseSensitive = true;
    EXPECT_EQ(r.go(request), RunOutcome::Written);
    EXPECT_EQ(readFile(request.output), "a\nb\nc\n");
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_TRUE(r.host.saveRequests.empty());
    EXPECT_TRUE(r.host.openRequests.empty());
    EXPECT_TRUE(r.settings.options.caseSensitive);
    EXPECT_TRUE(r.session.unattended);
}

TEST(UnattendedRun, SelectionRules)
{
    struct Row {
        SelectCommand select;
        const char* expected;
    };
    const Row rows[] = {{SelectCommand::All, "b\nc\n"},
                        {SelectCommand::AllButFirst, "a\nb\nc\n"},
                        {SelectCommand::AllButLast, "b\nc\na\n"}};
    for (const Row& row : rows) {
        UnattendedRun r;
        std::string in = r.dir.write("in.txt", "a\nb\na\nc\na\n");
        EXPECT_EQ(r.go(in, r.dir.file("out.txt"), row.select), RunOutcome::Written) << row.expected;
        EXPECT_EQ(readFile(r.dir.file("out.txt")), row.expected);
    }
}

TEST(UnattendedRun, NegativeStartAndMatchAreHeldAtTheirLimits)
{
    InTempDir cwd;
    cwd.dir.write("in.txt", "1 x\n2 x\n");
    // One argument text, or separate words as a shell passes them.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/i in.txt /o out.txt /s 2 /f -3 /a -5"},
          std::vector<std::string>{"/i", "in.txt", "/o", "out.txt", "/s", "2", "/f", "-3", "/a", "-5"}}) {
        const CommandLine command = parseCommandLine(args, Program::Cli);
        ASSERT_EQ(command.action, CommandLine::Action::Run) << command.error;
        EXPECT_TRUE(command.run.fromStoredSettings);
        UnattendedRun r;
        EXPECT_EQ(r.go(command.run), RunOutcome::NothingToDo);  // offset 0: the lines differ
        EXPECT_EQ(r.settings.options.startPos, 0);
        EXPECT_EQ(r.settings.options.filterMatch, -1);
        EXPECT_FALSE(std::filesystem::exists(cwd.dir.path() / "out.txt"));
    }
}

TEST(UnattendedRun, OutcomesWhenNothingIsWritten)
{
    struct Row {
        const char* name;
        std::string input;  // bytes, or nothing for a file that is not there
        bool inputExists;
        std::string output;
        RunOutcome outcome;
    };
    const Row rows[] = {
        {"no duplicates: no output file at all", "a\nb\n", true, "out.txt", RunOutcome::NothingToDo},
        {"an empty file holds no duplicates either", "", true, "out.txt", RunOutcome::NothingToDo},
        {"the input vanished", "", false, "out.txt", RunOutcome::InputError},
        {"the output folder does not exist", "a\na\n", true, "missing/out.txt", RunOutcome::OutputError},
    };
    for (const Row& row : rows) {
        UnattendedRun r;
        std::string in = row.inputExists ? r.dir.write("in.txt", row.input) : r.dir.file("in.txt");
        EXPECT_EQ(r.go(in, r.dir.file(row.output), SelectCommand::AllButFirst), row.outcome) << row.name;
        if (row.outcome != RunOutcome::OutputError) {
            EXPECT_FALSE(std::filesystem::exists(r.dir.file(row.output))) << row.name;
        }
    }
}

// A failed run's last status is the failure, naming the file and why.
TEST(UnattendedRun, TheLastStatusIsTheFailure)
{
    struct Row {
        const char* name;
        std::function<std::string(UnattendedRun&)> input;  // makes it, returns its path
        std::function<void(UnattendedRun&, const std::string&)> meanwhile;  // once the selection is made
        RunOutcome outcome;
        std::function<std::string(const std::string& in, const std::string& out)> status;
    };
    auto plain = [](UnattendedRun& r) { return r.dir.write("in.txt", "a\nb\na\n"); };
    const Row rows[] = {
        {"missing input", [](UnattendedRun& r) { return r.dir.file("in.txt"); }, nullptr, RunOutcome::InputError,
         [](const std::string& in, const std::string&) {
             return "错误: 无法打开文件 " + in + ": " + std::strerror(ENOENT);
         }},
        {"a fifo as input",
         [](UnattendedRun& r) {
             ::mkfifo(r.dir.file("in.txt").c_str(), 0644);
             return r.dir.file("in.txt");
         },
         nullptr, RunOutcome::InputError,
         [](const std::string& in, const std::string&) { return "错误: 无法打开文件 " + in + ": 不是普通文件"; }},
        {"source changed after the scan", plain,
         [](UnattendedRun&, const std::string& in) { std::ofstream(in, std::ios::app) << "more\n"; },
         RunOutcome::InputError,
         [](const std::string& in, const std::string&) { return "来源文件已被更改！取消保存... " + in; }},
        {"source removed after the scan", plain,
         [](UnattendedRun&, const std::string& in) { std::filesystem::remove(in); }, RunOutcome::InputError,
         [](const std::string& in, const std::string&) {
             return "无法找到来源文件！ " + in + ": " + std::strerror(ENOENT);
         }},
        {"output folder missing", plain, nullptr, RunOutcome::OutputError,
         [](const std::string&, const std::string& out) {
             return "打开文件写入错误！ " + out + ": " + std::strerror(ENOENT);
         }},
    };
    for (const Row& row : rows) {
        UnattendedRun r;
        const std::string in = row.input(r);
        const std::string out = r.dir.file(row.outcome == RunOutcome::OutputError ? "no/out.txt" : "out.txt");
        r.host.onCheckIn = [&] {
            // After the scan, before the save looks at the source.
            if (row.meanwhile && r.host.status() == text::kSelecting) {
                row.meanwhile(r, in);
                r.host.onCheckIn = nullptr;
            }
        };
        EXPECT_EQ(r.go(in, out, SelectCommand::AllButFirst), row.outcome) << row.name;
        EXPECT_EQ(r.host.status(), row.status(in, out)) << row.name;
        EXPECT_FALSE(std::filesystem::exists(out)) << row.name;
    }
}

TEST(UnattendedRun, ScanOnlyLeavesTheResults)
{
    UnattendedRun r;
    RunRequest request;
    request.input = r.dir.write("in.txt", "x\ny\nx\n");
    EXPECT_EQ(r.go(request), RunOutcome::DuplicatesFound);
    ASSERT_TRUE(r.result.dups);
    ASSERT_EQ(r.result.dups->count(), 2);
    EXPECT_EQ(r.result.dups->text(0), "[1]   x");
    EXPECT_EQ(r.result.dups->text(1), "[3]   x");
}

TEST(UnattendedRun, ConfirmedStopEndsTheRun)
{
    UnattendedRun r;
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "line " + std::to_string(i % 100) + "\n";
    std::string in = r.dir.write("in.txt", text);
    r.host.onCheckIn = [&r] { r.host.pressStop(); };
    r.host.answers.push_back(Answer::Yes);
    EXPECT_EQ(r.go(in, r.dir.file("out.txt"), SelectCommand::AllButFirst), RunOutcome::Stopped);
    EXPECT_FALSE(r.session.unattended);
    EXPECT_FALSE(std::filesystem::exists(r.dir.file("out.txt")));
}

TEST(UnattendedRun, ExitStatuses)
{
    EXPECT_EQ(exitStatus(RunOutcome::Written), 0);
    EXPECT_EQ(exitStatus(RunOutcome::DuplicatesFound), 0);
    EXPECT_EQ(exitStatus(RunOutcome::NothingToDo), 1);
    EXPECT_EQ(exitStatus(RunOutcome::InputError), 2);
    EXPECT_EQ(exitStatus(RunOutcome::OutputError), 3);
    EXPECT_EQ(exitStatus(RunOutcome::WrittenUnflushed), 4);
    EXPECT_EQ(exitStatus(RunOutcome::Stopped), 130);
}

}  // namespace
}  // namespace quillow
