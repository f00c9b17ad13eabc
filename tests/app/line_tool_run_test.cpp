// The GNU-style run end to end, in process: options parsed, input scanned,
// lines chosen and written to a file, byte for byte.
#include "app/line_tool_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/flows/select_flow.h"
#include "support/recording_front_end.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::TestSession;

std::string utf16le(const std::string& ascii)
{
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

struct LineToolRun : TestSession {
    TempDir dir;

    // Runs args on a file holding input, writing to a file; what was written.
    std::string run(std::vector<std::string> args, const std::string& input, RunOutcome expected = RunOutcome::Written)
    {
        args.push_back(dir.write("in.txt", input));
        args.push_back(dir.file("out.txt"));
        std::filesystem::remove(dir.file("out.txt"));
        const CommandLine command = parseGnuOptions(args);
        EXPECT_EQ(command.action, CommandLine::Action::Run) << command.error;
        RunFailure failure;
        EXPECT_EQ(runUnattended(session, command.run, &failure), expected) << failure.file << ": " << failure.reason;
        return readFile(dir.file("out.txt"));
    }
};

TEST(LineToolRunTest, WritesWhatEachOptionAsksFor)
{
    using namespace std::string_literals;
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input, output;
    };
    const Row rows[] = {
        {"the first of each line", {}, "b\na\nb\n", "b\na\n"},
        {"exact by default", {}, "a\nA\na\n", "a\nA\n"},
        {"ignoring case", {"-i"}, "a\nA\n", "a\n"},
        {"the last of each line", {"--keep=last"}, "a\nb\na\n", "b\na\n"},
        {"unique", {"-u"}, "a\nb\na\nc\n", "b\nc\n"},
        {"repeated, first occurrences", {"-d"}, "a\nb\nB\na\nb\nc\n", "a\nb\n"},
        {"repeated, last occurrences", {"-d", "--keep=last", "-i"}, "X\ny\nx\n", "x\n"},
        {"all repeated, empty lines never", {"-D"}, "a\n\nb\na\n\n", "a\na\n"},
        {"counts", {"-c"}, "a\nb\na\n\n", "      2 a\n      1 b\n      1 \n"},
        {"counts of the repeated", {"-cd"}, "a\nb\na\n\n", "      2 a\n"},
        {"counts in the file's encoding", {"-c"}, "\xFF\xFE"s + utf16le("a\na\n"), "\xFF\xFE"s + utf16le("      2 a\n")},
        {"NUL ends lines", {"-z"}, "x\ny\0b\0x\ny\0"s, "x\ny\0b\0"s},
        {"NUL added after a last line", {"-z", "-u"}, "a\0a\0b"s, "b\0"s},
        {"characters skipped", {"-s", "2"}, "1 a\n2 a\n", "1 a\n"},
        {"characters checked", {"-w", "1"}, "ab\nac\nb\n", "ab\nb\n"},
        {"fields skipped", {"-f", "1"}, "1 a\n2  a\n3 a\n", "1 a\n2  a\n"},
        {"a blank-separated field", {"-k", "2"}, "  1  x  y\n2 x\n", "  1  x  y\n"},
        {"a CSV field", {"-k", "2", "-t", ","}, "1,\"a,b\",c\n2,\"a,b\",d\n3,a,b\n", "1,\"a,b\",c\n3,a,b\n"},
        {"fields skipped to a separator", {"-f", "1", "-t", ";"}, "1;x;y\n2;x;y\n3;x\n", "1;x;y\n3;x\n"},
        {"empty lines left out", {"--drop-empty"}, "a\n\nb\n", "a\nb\n"},
        {"keys written", {"--write-keys", "--trim"}, " a \nb\n a\n", "a\nb\n"},
        {"nothing to drop: the input as it came", {}, "p\r\nq", "p\r\nq"},
        {"nothing repeated", {"-D"}, "p\nq\n", ""},
        {"an empty input", {}, "", ""},
    };
    for (const Row& row : rows) {
        LineToolRun r;
        EXPECT_EQ(r.run(row.args, row.input), row.output) << row.name;
    }
}

// The default run writes what the desktop program saves after "All but the
// first" with letter case compared: the same bytes, in place or not.
TEST(LineToolRunTest, WritesWhatTheDesktopProgramSaves)
{
    using namespace std::string_literals;
    const std::string inputs[] = {
        "b\na\nB\nb\na",                                    // no end after the last line
        "\xEF\xBB\xBFx\r\ny\r\nx\r\n \r\n \r\nz",           // a mark, CR LF, blank lines
        "p\rq\r\np\nbad\xFF\nbad\xFF\n\n\n",                // a lone CR, invalid bytes, empty lines
        "\xFF\xFE"s + "a\0\n\0a\0\n\0"s,                    // UTF-16LE
    };
    for (const std::string& input : inputs) {
        TestSession desktop;
        TempDir dir;
        const std::string in = dir.write("in.txt", input);
        desktop.settings.options.caseSensitive = true;
        ASSERT_EQ(openFile(desktop.session, in), ScanOutcome::Completed);
        selectEntries(desktop.session, SelectCommand::AllButFirst);
        desktop.host.saveFiles.push_back(dir.file("saved.txt"));
        ASSERT_EQ(saveCleanedCopy(desktop.session).outcome, SaveOutcome::Written);
        const std::string saved = readFile(dir.file("saved.txt"));

        LineToolRun cli;
        EXPECT_EQ(cli.run({}, input), saved);
        EXPECT_EQ(runUnattended(cli.session, parseGnuOptions({"--in-place", in}).run), RunOutcome::Written);
        EXPECT_EQ(readFile(in), saved);
    }
}

TEST(LineToolRunTest, InPlaceWithNothingToDropLeavesTheFileAlone)
{
    LineToolRun r;
    const std::string in = r.dir.write("in.txt", "a\nb\n");
    struct stat before {}, after {};
    ASSERT_EQ(::stat(in.c_str(), &before), 0);
    EXPECT_EQ(runUnattended(r.session, parseGnuOptions({"--in-place", in}).run), RunOutcome::Written);
    ASSERT_EQ(::stat(in.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    r.dir.write("in.txt", "a\nb\na\n");
    EXPECT_EQ(runUnattended(r.session, parseGnuOptions({"--in-place", in}).run), RunOutcome::Written);
    EXPECT_EQ(readFile(in), "a\nb\n");
}

TEST(LineToolRunTest, FilesNamedInAListAreReadAsOneText)
{
    LineToolRun r;
    r.dir.write("one.txt", "a\nb");  // no end: joined with the next file's first line
    r.dir.write("two.txt", "\na\nc\n");
    const std::string names = r.dir.write("names", r.dir.file("one.txt") + '\0' + r.dir.file("two.txt") + '\0');
    const std::string out = r.dir.file("out.txt");
    EXPECT_EQ(runUnattended(r.session, parseGnuOptions({"--files0-from=" + names, "-o", out}).run), RunOutcome::Written);
    EXPECT_EQ(readFile(out), "a\nb\nc\n");

    struct Row {
        const char* name;
        std::string list;
        std::string file, reason;
    };
    const Row rows[] = {
        {"a file that is not there", r.dir.file("one.txt") + '\0' + r.dir.file("none") + '\0', r.dir.file("none"),
         "No such file or directory"},
        {"an empty name", r.dir.file("one.txt") + std::string(2, '\0'), names, "文件名为空"},
    };
    for (const Row& row : rows) {
        r.dir.write("names", row.list);
        std::filesystem::remove(out);
        RunFailure failure;
        EXPECT_EQ(runUnattended(r.session, parseGnuOptions({"--files0-from=" + names, "-o", out}).run, &failure),
                  RunOutcome::InputError)
            << row.name;
        EXPECT_EQ(failure.file, row.file) << row.name;
        EXPECT_EQ(failure.reason, row.reason) << row.name;
        EXPECT_FALSE(std::filesystem::exists(out)) << row.name;
    }
}

}  // namespace
}  // namespace quillow
