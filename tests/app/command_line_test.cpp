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

TEST(CommandLine, NothingGivenOpensTheWindowOrIsAUsageError)
{
    EXPECT_EQ(parseCommandLine({}, Program::Desktop).action, CommandLine::Action::Interactive);
    const CommandLine cli = parseCommandLine({}, Program::Cli);
    EXPECT_EQ(cli.action, CommandLine::Action::Error);
    EXPECT_TRUE(cli.errorIsUsage);
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
        bool gnu;
    };
    const Row rows[] = {
        {"slash switches", {"/i", "in.txt", "/o", "out.txt", "/s", "2"}, false},
        {"negative numbers as separate words", {"/i", "in.txt", "/o", "o", "/s", "2", "/f", "-3", "/a", "-5"}, false},
        {"a switch with its value attached", {"/s2", "/i", "in.txt", "-o", "x"}, false},
        {"DEBUG_MODE first", {"DEBUG_MODE", "-i", "in.txt"}, false},
        {"an option first", {"-i", "in.txt", "DEBUG_MODE"}, true},
        {"a file, then an option", {"in.txt", "--list"}, true},
        {"an absolute path that starts like a switch", {"/proc/self/status", "--list"}, true},
        {"nothing", {}, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(usesGnuSyntax(r.args), r.gnu) << r.name;
}

TEST(GnuOptions, FillsEveryValue)
{
    const CommandLine o = parseGnuOptions({"--input=/data/in.txt", "--output", "/data/out.txt",
                                           "--select=all-but-last", "--case=ON", "-r", "off", "--save-empty", "on",
                                           "-f4", "-x", "^(\\w+)", "--match=-1", "-p", "On", "-q", "-e", "gb18030",
                                           "--compat=on", "--max-memory=512m"});
    ASSERT_EQ(o.action, CommandLine::Action::Run) << o.error;
    const RunRequest& r = o.run;
    EXPECT_EQ(r.input, "/data/in.txt");
    EXPECT_EQ(r.output, "/data/out.txt");
    EXPECT_EQ(r.select, SelectCommand::AllButLast);
    EXPECT_EQ(r.caseSensitive, true);
    EXPECT_EQ(r.trimLines, false);
    EXPECT_EQ(r.saveEmptyLines, true);
    EXPECT_EQ(r.startPos, 4);
    EXPECT_EQ(r.filterPattern, "^(\\w+)");
    EXPECT_EQ(r.filterMatch, -1);
    EXPECT_EQ(r.saveApplyFilter, true);
    EXPECT_EQ(r.textEncoding, "gb18030");
    EXPECT_EQ(r.compatForms, true);
    EXPECT_EQ(r.maxMemory, "512m");
    EXPECT_TRUE(o.quiet);
    EXPECT_FALSE(r.inputIsStdin);
}

TEST(GnuOptions, ShapesOfArguments)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        CommandLine::Action action;
        std::string input, output;
        std::optional<SelectCommand> select;
        bool stdinIn, stdoutOut, quiet;
        ListForm form = ListForm::Numbered;
        bool storedSettings = false;
    };
    using A = CommandLine::Action;
    using S = SelectCommand;
    const Row rows[] = {
        {"aliases", {"-i", "a", "-o", "b", "-s", "all"}, A::Run, "a", "b", S::All, false, false, false},
        {"attached values", {"-s2", "-ob", "-ia"}, A::Run, "a", "b", S::AllButFirst, false, false, false},
        {"positional input after options", {"-o", "b", "-s", "1", "a"}, A::Run, "a", "b", S::All, false, false, false},
        {"bundled flags", {"-lq", "a"}, A::List, "a", "", std::nullopt, false, false, true},
        {"list with options", {"--list", "-c", "on", "a"}, A::List, "a", "", std::nullopt, false, false, false},
        {"list ignores a selection", {"-l", "-s", "2", "a"}, A::List, "a", "", std::nullopt, false, false, false},
        {"abbreviated long option", {"--li", "a"}, A::List, "a", "", std::nullopt, false, false, false},
        {"list as tab-separated values", {"--list", "--format=tsv", "a"}, A::List, "a", "", std::nullopt, false, false,
         false, ListForm::Tsv},
        {"count", {"--count", "-"}, A::Count, "", "", std::nullopt, true, false, false},
        {"stored settings asked for", {"--use-settings", "-i", "a", "-o", "b", "-s", "2"}, A::Run, "a", "b",
         S::AllButFirst, false, false, false, ListForm::Numbered, true},
        {"standard streams", {"-i", "-", "-o", "-", "-s", "3"}, A::Run, "", "", S::AllButLast, true, true, false},
        {"positional - is stdin", {"-o", "b", "-s", "3", "-"}, A::Run, "", "b", S::AllButLast, true, false, false},
        {"-- ends the options", {"-o", "b", "-s", "1", "--", "-odd name"}, A::Run, "-odd name", "b", S::All, false,
         false, false},
        {"help wins", {"-i", "a", "--help", "--bogus"}, A::Help, "", "", std::nullopt, false, false, false},
        {"version", {"-V"}, A::Version, "", "", std::nullopt, false, false, false},
    };
    for (const Row& r : rows) {
        const CommandLine o = parseGnuOptions(r.args);
        EXPECT_EQ(o.action, r.action) << r.name << ": " << o.error;
        if (o.action != r.action || r.action == A::Help || r.action == A::Version)
            continue;
        EXPECT_EQ(o.run.input, r.input) << r.name;
        EXPECT_EQ(o.run.output, r.output) << r.name;
        EXPECT_EQ(o.run.select, r.select) << r.name;
        EXPECT_EQ(o.run.inputIsStdin, r.stdinIn) << r.name;
        EXPECT_EQ(o.run.outputIsStdout, r.stdoutOut) << r.name;
        EXPECT_EQ(o.quiet, r.quiet) << r.name;
        EXPECT_EQ(o.listForm, r.form) << r.name;
        EXPECT_EQ(o.useStoredSettings, r.storedSettings) << r.name;
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
        {"no input", {"-o", "b", "-s", "1"}, "-i"},
        {"two inputs", {"-i", "a", "-o", "b", "-s", "1", "c"}, "多个输入文件"},
        {"no output", {"-i", "a", "-s", "1"}, "-o"},
        {"no selection", {"-i", "a", "-o", "b"}, "-s"},
        {"list with output", {"--list", "-o", "b", "a"}, "-o"},
        {"unknown encoding", {"-i", "a", "-o", "b", "-s", "1", "--encoding=klingon"}, "klingon"},
        {"encoding not by lines", {"-i", "a", "-o", "b", "-s", "1", "-e", "UTF-7"}, "UTF-7"},
        {"bad compat", {"-i", "a", "-o", "b", "-s", "1", "--compat", "yes"}, "--compat"},
        {"memory without a size", {"-i", "a", "-o", "b", "-s", "1", "--max-memory", "lots"}, "'lots'"},
        {"memory of nothing", {"-i", "a", "-o", "b", "-s", "1", "--max-memory=0K"}, "--max-memory"},
        {"list and count", {"--list", "--count", "a"}, "--count"},
        {"format without list", {"--count", "--format=tsv", "a"}, "--format"},
        {"unknown format", {"--list", "--format", "csv", "a"}, "'csv'"},
    };
    for (const Row& r : rows) {
        const CommandLine o = parseGnuOptions(r.args);
        EXPECT_EQ(o.action, CommandLine::Action::Error) << r.name;
        EXPECT_NE(o.error.find(r.mentions), std::string::npos) << r.name << ": " << o.error;
        EXPECT_EQ(o.error.find('\n'), std::string::npos) << r.name;
    }
}

TEST(GnuOptions, HelpDescribesEachOptionOnceForEachProgram)
{
    const std::vector<std::string> both = {"-i, --input=FILE", "-o, --output=FILE", "-s, --select=RULE",
                                           "-c, --case=on|off", "-r, --trim=on|off", "-m, --save-empty=on|off",
                                           "-f, --start=N", "-x, --regex=PATTERN", "-a, --match=N",
                                           "-p, --apply-filter=on|off", "-e, --encoding=NAME", "--compat=on|off",
                                           "--max-memory=SIZE", "-h, --help", "-V, --version"};
    const std::vector<std::string> cliOnly = {"-l, --list", "--count", "--format=FORM", "--use-settings", "-q, --quiet",
                                              "- 读标准输入", "- 写到标准输出"};
    // quillow-cli shows the default of every option that has one.
    const std::vector<std::string> withDefault = {"--case",         "--trim",     "--save-empty", "--start",
                                                  "--regex",        "--match",    "--apply-filter", "--encoding",
                                                  "--compat",       "--max-memory", "--format"};
    for (Program program : {Program::Desktop, Program::Cli}) {
        const std::string help = commandLineHelp(program);
        SCOPED_TRACE(help);
        for (const std::string& option : both) {
            const size_t at = help.find(option);
            ASSERT_NE(at, std::string::npos) << option;
            EXPECT_EQ(help.find(option, at + 1), std::string::npos) << option;
        }
        for (const std::string& text : cliOnly)
            EXPECT_EQ(help.find(text) != std::string::npos, program == Program::Cli) << text;
        for (const std::string& option : withDefault) {
            const size_t at = help.find(option + "=", help.find("选项："));
            if (at == std::string::npos && program == Program::Desktop)
                continue;
            ASSERT_NE(at, std::string::npos) << option;
            const size_t next = help.find("\n  -", at);
            EXPECT_EQ(help.substr(at, next - at).find("默认") != std::string::npos, program == Program::Cli)
                << option;
        }
        EXPECT_EQ(help.back(), '\n');
    }
}

TEST(GnuOptions, TheInputMustBeAFileAndTheDesktopKeepsToItsForms)
{
    TempDir dir;
    std::string in = dir.write("in.txt", "a\na\n");
    std::filesystem::create_directory(dir.path() / "folder");
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    using A = CommandLine::Action;
    struct Row {
        const char* name;
        Program program;
        std::vector<std::string> args;
        A action;
        std::string mentions;  // in the error
    };
    const Row rows[] = {
        {"a file runs", Program::Cli, {"-i", in, "-o", "/abs/out.txt", "-s", "2"}, A::Run, ""},
        {"list", Program::Cli, {"--list", in}, A::List, ""},
        {"standard input is not looked at", Program::Cli, {"-i", "-", "-o", "-", "-s", "2"}, A::Run, ""},
        {"a folder", Program::Cli, {"-l", dir.file("folder")}, A::Error, dir.file("folder") + ": 不是普通文件"},
        {"a fifo", Program::Cli, {"-l", fifo}, A::Error, fifo + ": 不是普通文件"},
        {"a device", Program::Cli, {"-l", "/dev/zero"}, A::Error, "/dev/zero: 不是普通文件"},
        {"missing", Program::Cli, {"-i", dir.file("nope"), "-o", "b", "-s", "1"}, A::Error, "nope"},
        {"invalid pattern", Program::Cli, {"-x", "(", "-i", in, "-o", "b", "-s", "1"}, A::Error,
         "-x (--regex) 的正则表达式 '(' 无效: missing closing parenthesis at offset 1"},
        {"invalid pattern, listing", Program::Cli, {"-l", "--regex=a{2,1}", in}, A::Error, "at offset 5"},
        {"invalid pattern, desktop", Program::Desktop, {"-x", "(", "-i", in, "-o", "b", "-s", "1"}, A::Error,
         "at offset 1"},
        {"desktop run", Program::Desktop, {"-i", in, "-o", "b", "-s", "1", "DEBUG_MODE"}, A::Run, ""},
        {"desktop list", Program::Desktop, {"--list", in}, A::Error, "quillow-cli"},
        {"desktop count", Program::Desktop, {"--count", in}, A::Error, "quillow-cli"},
        {"desktop stored settings", Program::Desktop, {"--use-settings", "-i", in, "-o", "b", "-s", "1"}, A::Error,
         "quillow-cli"},
        {"desktop streams", Program::Desktop, {"-i", "-", "-o", "b", "-s", "1"}, A::Error, "quillow-cli"},
    };
    for (const Row& r : rows) {
        const CommandLine c = parseCommandLine(r.args, r.program);
        EXPECT_EQ(c.action, r.action) << r.name << ": " << c.error;
        EXPECT_TRUE(c.gnuSyntax) << r.name;
        EXPECT_NE(c.error.find(r.mentions), std::string::npos) << r.name << ": " << c.error;
        // The desktop program always starts from its stored settings.
        if (c.action != A::Error)
            EXPECT_EQ(c.useStoredSettings, r.program == Program::Desktop) << r.name;
    }
    EXPECT_TRUE(parseCommandLine({"-i", in, "-o", "b", "-s", "1", "DEBUG_MODE"}, Program::Desktop).debugMode);

    Options options;
    options.filterPattern = "stored";
    applyOverrides(parseCommandLine({"-i", in, "-o", "b", "-s", "1", "--regex="}, Program::Cli).run, options);
    EXPECT_EQ(options.filterPattern, "");  // an empty pattern switches the stored filter off
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
        EXPECT_TRUE(command.useStoredSettings);
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
        if (row.outcome != RunOutcome::OutputError)
            EXPECT_FALSE(std::filesystem::exists(r.dir.file(row.output))) << row.name;
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
    EXPECT_EQ(exitStatus(RunOutcome::PassedThrough), 0);
    EXPECT_EQ(exitStatus(RunOutcome::NothingToDo), 1);
    EXPECT_EQ(exitStatus(RunOutcome::InputError), 2);
    EXPECT_EQ(exitStatus(RunOutcome::OutputError), 3);
    EXPECT_EQ(exitStatus(RunOutcome::WrittenUnflushed), 4);
    EXPECT_EQ(exitStatus(RunOutcome::Stopped), 130);
}

}  // namespace
}  // namespace quillow
