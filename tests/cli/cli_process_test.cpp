// quillow-cli as a process: exit statuses, the bytes it writes, standard
// streams, and that it leaves the settings store alone. Plus the terminal
// host's progress line and answers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/texts.h"
#include "cli/cli_front_end.h"
#include "support/temp_dir.h"

extern char** environ;

namespace quillow {
namespace {

using testing::readFile;
using testing::TempDir;

struct CliResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out, err;
};

// One sandbox per test: the child's settings store (XDG_CONFIG_HOME) and
// temporary files (TMPDIR) live inside it, its streams are files.
class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(config());
        std::filesystem::create_directories(tmpDir());
    }

    // Tests of the texts read them in Chinese, the source language.
    std::vector<std::string> environment = {"LANGUAGE=zh_CN"};

    std::filesystem::path config() const { return dir.path() / "config"; }
    std::filesystem::path tmpDir() const { return dir.path() / "tmp"; }
    std::filesystem::path conf() const { return config() / "Orvandel" / "Quillow.conf"; }
    void writeStore(const std::string& body) const
    {
        std::filesystem::create_directories(config() / "Orvandel");
        dir.write("config/Orvandel/Quillow.conf", "[Quillow]\n" + body);
    }

    // Starts quillow-cli with stdin from the file `input` or, when stdinFd
    // is given, from that descriptor; stdout to a file or stdoutFd, stderr to
    // a file.
    pid_t spawn(const std::vector<std::string>& args, const std::string& input = "",
                const std::filesystem::path& cwd = {}, int stdinFd = -1, int stdoutFd = -1) const
    {
        std::string inPath = dir.write("stdin.bin", input);
        std::string outPath = dir.file("stdout.bin"), errPath = dir.file("stderr.bin");

        std::vector<std::string> env = {"XDG_CONFIG_HOME=" + config().string(), "TMPDIR=" + tmpDir().string()};
        env.insert(env.end(), environment.begin(), environment.end());
        auto replaced = [&](const char* entry) {
            const std::string name(entry, std::strcspn(entry, "="));
            return std::any_of(env.begin(), env.end(), [&](const std::string& e) { return e.starts_with(name + "="); });
        };
        for (char** e = environ; *e; ++e)
            if (!replaced(*e))
                env.emplace_back(*e);
        std::vector<char*> envp, argv;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = QUILLOW_CLI_PATH;
        std::vector<std::string> argStore{program};
        argStore.insert(argStore.end(), args.begin(), args.end());
        for (auto& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string workDir = cwd.empty() ? dir.path().string() : cwd.string();

        pid_t pid = fork();
        if (pid == 0) {
            int in = stdinFd >= 0 ? stdinFd : open(inPath.c_str(), O_RDONLY);
            int out = stdoutFd >= 0 ? stdoutFd : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (in < 0 || out < 0 || err < 0 || chdir(workDir.c_str()) != 0)
                _exit(126);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            signal(SIGINT, SIG_DFL);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        return pid;
    }

    CliResult finish(pid_t pid) const
    {
        CliResult r;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = readFile(dir.file("stdout.bin"));
        r.err = readFile(dir.file("stderr.bin"));
        return r;
    }

    CliResult run(const std::vector<std::string>& args, const std::string& input = "",
                  const std::filesystem::path& cwd = {}) const
    {
        return finish(spawn(args, input, cwd));
    }

    // The child removes its temporary copies of the standard streams.
    void expectNoTemporaryFilesLeft() const
    {
        EXPECT_TRUE(std::filesystem::is_empty(tmpDir())) << "temporary files left in TMPDIR";
    }

    TempDir dir;
};

const std::string kSixLines = "b\na\nb\nz\xffz\na\nz\xffz\n";
const std::string kSixLinesStatus =
    "扫描      6 行: 找到        6 个重复项包含有              3 个唯一的重复项！\n";

TEST_F(CliProcessTest, ListWritesEveryEntryBytesExactly)
{
    // Read as UTF-8 (this file alone would be taken for a legacy encoding).
    std::string in = dir.write("in.txt", kSixLines);
    CliResult r = run({"--list", "--encoding=UTF-8", in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[1]   b\n[3]   b\n[2]   a\n[5]   a\n[4]   z\xffz\n[6]   z\xffz\n");
    EXPECT_EQ(r.err, "");
    // -v: the summary once the list is out.
    r = run({"--list", "-v", "--encoding=UTF-8", in});
    EXPECT_EQ(r.err, kSixLinesStatus);
}

// Every form of the list shows each line's own key; a group's is its first line's.
TEST_F(CliProcessTest, EntriesShowTheirOwnLines)
{
    const std::string in = dir.write("q.txt", "q\nQ\n");
    const struct {
        std::vector<std::string> args;
        const char* out;
    } rows[] = {
        {{"--list", "-i", in}, "[1]   q\n[2]   Q\n"},
        {{"-c", "-i", in}, "      2 q\n"},
        {{"--list", "--format=tsv", "-i", in}, "1\t1\tq\n2\t1\tQ\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(run(row.args).out, row.out) << row.args[0];
}

TEST_F(CliProcessTest, ListDecodesOtherEncodingsAndNamesThem)
{
    // GB18030 "你好" twice, "x" twice; written back as its own bytes.
    const std::string gb = "\xC4\xE3\xBA\xC3\r\nx\r\n\xC4\xE3\xBA\xC3\r\nx\r\n";
    std::string in = dir.write("gb.txt", gb);
    CliResult r = run({"--list", "-v", "--encoding=GB18030", in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[1]   你好\n[3]   你好\n[2]   x\n[4]   x\n");
    EXPECT_NE(r.err.find("quillow-cli: 文本编码 GB18030\n"), std::string::npos) << r.err;
    r = run({"--list", "--encoding", "gb18030", in});
    EXPECT_EQ(r.err, "");
    r = run({in, dir.file("out.txt"), "--encoding=GB18030"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.txt")), "\xC4\xE3\xBA\xC3\r\nx\r\n");
}

TEST_F(CliProcessTest, ListPadsLineNumbersAndHonoursOptions)
{
    std::string text;
    for (int i = 1; i <= 9; ++i)
        text += "x" + std::to_string(i) + "\n";
    text += "  X1 \n";  // line 10
    std::string in = dir.write("in.txt", text);
    CliResult r = run({"--list", "-i", "--trim", in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[01]   x1\n[10]   X1\n");
}

TEST_F(CliProcessTest, ListStatuses)
{
    std::string none = dir.write("none.txt", "a\nb\n");
    CliResult r = run({"--list", none});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    r = run({"--list", dir.file("missing.txt")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quillow-cli: " + dir.file("missing.txt") + ": " + std::strerror(ENOENT) + "\n");
}

TEST_F(CliProcessTest, ExitStatusSaysWhetherTheOutputWasWritten)
{
    std::string dups = dir.write("dups.txt", "a\nb\na\nc\na\n");
    std::string none = dir.write("none.txt", "a\nb\n");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string output;  // empty: the output file must not exist
        std::string err;     // the one line on stderr
    };
    const std::string out = dir.file("out.txt");
    const std::string noDir = dir.file("no/such/dir/out.txt");
    const std::string missing = std::strerror(ENOENT);
    const std::string folder = dir.path().string();
    const Row rows[] = {
        {"written", {dups, "-o", out}, 0, "a\nb\nc\n", ""},
        {"nothing to drop: the input", {none, out}, 0, "a\nb\n", ""},
        {"missing input", {dir.file("nope.txt"), out}, 2, "", "quillow-cli: " + dir.file("nope.txt") + ": " + missing},
        {"input is a folder", {folder, out}, 2, "", "quillow-cli: " + folder + ": " + std::strerror(EISDIR)},
        {"output folder missing", {dups, noDir}, 3, "", "quillow-cli: " + noDir + ": " + missing},
        {"output is a folder", {dups, "-o", folder}, 3, "", "quillow-cli: " + folder + ": " + std::strerror(EISDIR)},
    };
    for (const Row& row : rows) {
        std::filesystem::remove(out);
        CliResult r = run(row.args);
        EXPECT_EQ(r.status, row.status) << row.name << "\n" << r.err;
        if (row.output.empty())
            EXPECT_FALSE(std::filesystem::exists(out)) << row.name;
        else
            EXPECT_EQ(readFile(out), row.output) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
        EXPECT_EQ(r.err, row.err.empty() ? "" : row.err + "\n") << row.name;
    }
    expectNoTemporaryFilesLeft();
}

// The last line of a failed run is the failure: the file and the reason.
// Warnings come first.
TEST_F(CliProcessTest, FailuresNameTheFileAndTheReason)
{
    std::string dups = dir.write("dups.txt", "a\nb\na\n");
    std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_directory(dir.path() / "sub");
    const std::string cut = dir.write("sub/in.txt", "a\na\n");  // "/sub/in.txt" holds "/s" and "/i"
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string lastLine;
        std::string firstLine = {};  // when there are two
    };
    const Row rows[] = {
        {"invalid pattern", {"--regex", "(", dups, "-o", dir.file("out.txt")}, 2,
         "quillow-cli: 选项 --regex 的正则表达式 '(' 无效: missing closing parenthesis at offset 1"
         "（见 quillow-cli --help）"},
        {"fifo nobody reads as output", {dups, "-o", fifo}, 3, "quillow-cli: " + fifo + ": " + std::strerror(ENXIO)},
        {"slash switches cutting a path", {"/i", cut, "/o", "out.txt", "/s", "2"}, 2,
         "quillow-cli: 错误: 无法打开文件 n.txt: No such file or directory",
         "quillow-cli: 警告: 斜杠开关截断了路径 " + cut +
             "；含有斜杠的路径请用 GNU 选项: quillow-cli 输入文件 -o 输出文件 (见 quillow-cli --help)"},
    };
    for (const Row& row : rows) {
        CliResult r = run(row.args);
        EXPECT_EQ(r.status, row.status) << row.name << "\n" << r.err;
        const std::string expected = (row.firstLine.empty() ? "" : row.firstLine + "\n") + row.lastLine + "\n";
        EXPECT_EQ(r.err, expected) << row.name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    expectNoTemporaryFilesLeft();
}

TEST_F(CliProcessTest, ASettingsFileThatIsNotAFileIsNeitherReadNorWaitedFor)
{
    std::filesystem::create_directories(config() / "Orvandel");
    ASSERT_EQ(::mkfifo(conf().c_str(), 0644), 0);
    std::string in = dir.write("in.txt", "a\nb\na\n");
    CliResult r = run({"/i", "in.txt", "/o", "out.txt", "/s", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "quillow-cli: 无法使用设置文件，使用默认设置... " + conf().string() + ": 不是普通文件\n完成保存！\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), "a\nb\n");
}

TEST_F(CliProcessTest, SlashSwitchesWithRelativePaths)
{
    dir.write("in.txt", "a\r\nb\r\na\r\n");
    CliResult r = run({"/i", "in.txt", "/o", "out.txt", "/s", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.txt")), "b\r\na\r\n");
    EXPECT_EQ(r.err, "完成保存！\n");

    // /S is no switch: no run, and the reason is given.
    r = run({"/i", "in.txt", "/o", "out2.txt", "/S", "3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out2.txt")));
    EXPECT_NE(r.err.find("/s"), std::string::npos) << r.err;
}

TEST_F(CliProcessTest, InPlaceReplacesTheInput)
{
    std::string in = dir.write("in.txt", "a\na\nb\n");
    CliResult r = run({"--in-place", in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(in), "a\nb\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".quillowtemp"), std::string::npos) << entry.path();
}

TEST_F(CliProcessTest, AFilterOnTheStandardStreams)
{
    std::string dups = dir.write("dups.txt", "x\ny\nx\nz\n");
    const std::string bomCrLf = "\xEF\xBB\xBFp\r\nq";
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input, out;
        std::string err;
    };
    const std::string summary = "扫描      4 行: 找到        2 个重复项包含有              1 个唯一的重复项！\n";
    const Row rows[] = {
        {"the first of each line", {}, "b\na\nb\n", "b\na\n", ""},
        {"unique lines", {"-u"}, "x\ny\nx\nz\n", "y\nz\n", ""},
        {"from a file", {dups}, "", "x\ny\nz\n", ""},
        {"no duplicates: the bytes as they came", {"-"}, bomCrLf, bomCrLf, ""},
        {"empty input", {}, "", "", ""},
        {"a summary asked for", {"-v", "-", "-"}, "x\ny\nx\nz\n", "x\ny\nz\n", summary},
        {"to a file: nothing to drop", {"-", "out.txt"}, "p\nq\n", "", ""},
        {"list", {"--list"}, "k\nk\n", "[1]   k\n[2]   k\n", ""},
    };
    for (const Row& row : rows) {
        std::filesystem::remove(dir.file("out.txt"));
        CliResult r = run(row.args, row.input);
        EXPECT_EQ(r.status, 0) << row.name << "\n" << r.err;
        EXPECT_EQ(r.out, row.out) << row.name;
        EXPECT_EQ(r.err, row.err) << row.name;
        if (std::find(row.args.begin(), row.args.end(), "out.txt") != row.args.end()) {
            EXPECT_EQ(readFile(dir.file("out.txt")), row.input) << row.name;
        }
        expectNoTemporaryFilesLeft();
    }
}

// Inputs that are no regular files are read as they come: a FIFO, a
// character device, /dev/stdin.
TEST_F(CliProcessTest, AnyReadableInput)
{
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    pid_t writer = fork();
    if (writer == 0) {
        const int fd = open(fifo.c_str(), O_WRONLY);
        const ssize_t n = write(fd, "a\nb\na\n", 6);
        _exit(n == 6 ? 0 : 1);
    }
    CliResult r = run({"-c", fifo});
    waitpid(writer, nullptr, 0);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "      2 a\n      1 b\n");

    r = run({"-d", "/dev/stdin"}, "q\nq\nr\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "q\n");
    r = run({"/dev/null"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

// Standard output that does not take the bytes: a full disk fails with
// status 3 and names standard output; a reader that went away ends the run
// quietly, by SIGPIPE.
TEST_F(CliProcessTest, StandardOutputThatFails)
{
    std::string dups = dir.write("dups.txt", "a\nb\na\n");
    struct Run {
        const char* name;
        std::vector<std::string> args;
    };
    const Run runs[] = {
        {"cleaned", {dups}},
        {"passed through", {}},
        {"list", {"--list", "--format=tsv", dups}},
        {"help", {"--help"}},
    };
    for (const Run& run : runs) {
        for (const char* sink : {"/dev/full", "closed pipe"}) {
            int fds[2] = {-1, -1};
            int out;
            const bool full = std::string(sink) == "/dev/full";
            if (full) {
                out = open("/dev/full", O_WRONLY);
            } else {
                ASSERT_EQ(pipe(fds), 0);
                close(fds[0]);
                out = fds[1];
            }
            ASSERT_GE(out, 0);
            CliResult r = finish(spawn(run.args, "p\nq\n", {}, -1, out));
            close(out);
            EXPECT_EQ(r.status, full ? 3 : 128 + SIGPIPE) << run.name << " to " << sink << "\n" << r.err;
            EXPECT_EQ(r.err, full ? std::string("quillow-cli: 标准输出: ") + std::strerror(ENOSPC) + "\n" : "")
                << run.name << " to " << sink;
        }
    }
}

TEST_F(CliProcessTest, BadUsageIsOneLineAndStatus2)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate"},
        {"-s", "-3", "a"},
        {"--encoding", "no-such-encoding", "a"},
        {"--keep=middle"},
        {"a", "b", "c"},
        {"-i", "in.txt", "-o", "out.txt", "-s", "2", "-c", "on"},
        {"/c", "on"},
    };
    for (const auto& args : cases) {
        CliResult r = run(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("quillow-cli: ", 0), 0u) << r.err;
    }
}

TEST_F(CliProcessTest, HelpAndVersion)
{
    CliResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* part : {"--unique", "--repeated", "--all-repeated", "--count", "--ignore-case", "--skip-fields",
                             "--skip-chars", "--check-chars", "--zero-terminated", "--output", "--in-place",
                             "--files0-from", "--list", "--verbose", "--version", "/i", "退出状态", "  0 ", "  1 ",
                             "  2 ", "  3 ", "  130", "Quillow.conf"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;

    r = run({"-V"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("quillow-cli 3.0\n许可证：MIT\nQt 6.", 0), 0u) << r.out;
    for (const char* part : {"，PCRE2 10.", "，ICU "})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
}

// The language comes from the locale's first language: the first entry of
// LANGUAGE, else LC_ALL, LC_MESSAGES or LANG. Chinese for Chinese (zh*),
// English for everything else: C, POSIX, none, untranslated languages.
TEST_F(CliProcessTest, LanguageFollowsTheLocale)
{
    struct Row {
        const char* name;
        std::vector<std::string> locale;
        bool english;
    };
    const Row rows[] = {
        {"C", {"LC_ALL=C"}, true},
        {"POSIX", {"LC_ALL=POSIX"}, true},
        {"nothing set", {}, true},
        {"de_DE", {"LANG=de_DE.UTF-8"}, true},
        {"en_US", {"LANG=en_US.UTF-8"}, true},
        {"zh_CN", {"LANG=zh_CN.UTF-8"}, false},
        {"zh_TW", {"LANG=zh_TW.UTF-8"}, false},
        {"zh alone", {"LANG=zh"}, false},
        {"LC_MESSAGES over LANG", {"LC_MESSAGES=en_GB.UTF-8", "LANG=zh_CN.UTF-8"}, true},
        {"LC_ALL over LC_MESSAGES", {"LC_ALL=zh_CN.UTF-8", "LC_MESSAGES=en_US.UTF-8"}, false},
        {"LANGUAGE over LC_ALL", {"LANGUAGE=zh_CN", "LC_ALL=C.UTF-8"}, false},
        {"LANGUAGE: its first entry", {"LANGUAGE=fr:zh_CN", "LANG=zh_CN.UTF-8"}, true},
        {"LANGUAGE: Chinese before English", {"LANGUAGE=zh_CN:en", "LANG=en_US.UTF-8"}, false},
    };
    for (const Row& row : rows) {
        environment = {"LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", "LANG="};
        for (const std::string& e : row.locale)
            environment.insert(environment.begin(), e);
        CliResult r = run({"--keep=middle"});
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_EQ(r.err, row.english ? "quillow-cli: invalid value 'middle' for option --keep (expected first or "
                                       "last) (see quillow-cli --help)\n"
                                     : "quillow-cli: 选项 --keep 的值 'middle' 无效（应为 first 或 last）"
                                       "（见 quillow-cli --help）\n")
            << row.name;
        r = run({"--help"});
        EXPECT_EQ(r.out.rfind(row.english ? "Usage: quillow-cli [OPTION]... [INPUT [OUTPUT]]\n"
                                          : "用法：quillow-cli [选项]... [INPUT [OUTPUT]]\n",
                              0),
                  0u)
            << row.name << "\n"
            << r.out;
    }
}

// A run in English: progress stages, the summary, the version.
TEST_F(CliProcessTest, EnglishRun)
{
    environment = {"LANGUAGE=en"};
    std::string in = dir.write("in.txt", kSixLines);
    CliResult r = run({"--list", "-v", "--encoding=UTF-8", in});
    EXPECT_EQ(r.err, "Scanned 6 lines: found 6 duplicates in 3 distinct groups!\n");
    dir.write("one.txt", "a\nb\na\n");
    r = run({"/i", "one.txt", "/o", "out.txt", "/s", "2"});
    EXPECT_EQ(r.err, "Save complete!\n");
    r = run({"-v", "one.txt", "out.txt"});
    EXPECT_EQ(r.err, "Scanned 3 lines: found 2 duplicates in 1 distinct group!\n");
    r = run({"--frobnicate"});
    EXPECT_EQ(r.err, "quillow-cli: unknown or ambiguous option '--frobnicate' (see quillow-cli --help)\n");
    r = run({"-V"});
    EXPECT_EQ(r.out.rfind("quillow-cli 3.0\nLicense: MIT\nQt 6.", 0), 0u) << r.out;
}

// GNU-style runs use the documented defaults unless --use-settings; slash
// switches start from the store. No run creates or changes it.
TEST_F(CliProcessTest, StoredSettingsOnlyForSlashSwitchesOrWhenAskedFor)
{
    dir.write("in.txt", "1 a\n2 a\n");  // the stored filter makes both keys "a"
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string output;  // empty: none written
    };
    const Row rows[] = {
        {"GNU-style: the defaults", {"in.txt", "out.txt"}, 0, "1 a\n2 a\n"},
        {"GNU-style with --use-settings", {"--use-settings", "in.txt", "out.txt"}, 0, "1 a\n"},
        {"slash switches", {"/i", "in.txt", "/o", "out.txt", "/s", "2"}, 0, "1 a\n"},
        {"a switch overrides the store", {"/i", "in.txt", "/o", "out.txt", "/s", "2", "/x", "\\d"}, 1, ""},
    };

    CliResult r = run({"in.txt", "out.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(conf())) << "the run created the settings store";

    const std::string stored = "sRegExp=[a-z]\nstatFilesOpened=41\n";
    writeStore(stored);
    auto before = std::filesystem::last_write_time(conf());
    for (const Row& row : rows) {
        std::filesystem::remove(dir.file("out.txt"));
        r = run(row.args);
        EXPECT_EQ(r.status, row.status) << row.name << "\n" << r.err;
        if (row.output.empty())
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt"))) << row.name;
        else
            EXPECT_EQ(readFile(dir.file("out.txt")), row.output) << row.name;
    }
    EXPECT_EQ(readFile(conf().string()), "[Quillow]\n" + stored);
    EXPECT_EQ(std::filesystem::last_write_time(conf()), before);
}

TEST_F(CliProcessTest, CtrlCWhileWaitingForStandardInput)
{
    for (const std::string output : {"out.txt", "-"}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = spawn({"-u", "-", output}, "", {}, fds[0]);
        close(fds[0]);
        ASSERT_EQ(write(fds[1], "a\na\n", 4), 4);  // the pipe stays open: the read waits
        usleep(300 * 1000);
        kill(pid, SIGINT);
        CliResult r = finish(pid);
        close(fds[1]);
        EXPECT_EQ(r.status, 130) << output;
        EXPECT_EQ(r.out, "") << output;
        EXPECT_EQ(r.err, "quillow-cli: 已中断\n") << output;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
        expectNoTemporaryFilesLeft();
    }
}

TEST_F(CliProcessTest, CtrlCNeverLeavesAPartialOutput)
{
    // Whether the signal comes during the scan, the save or after: either the
    // whole cleaned file is there (status 0) or none at all (status 130).
    std::string text, kept;
    for (int i = 0; i < 1000000; ++i) {
        std::string line = "line " + std::to_string(i % 500000) + "\n";
        if (i < 500000)
            kept += line;
        text += line;
    }
    std::string in = dir.write("in.txt", text);
    std::string out = dir.file("out.txt");
    pid_t pid = spawn({in, "-o", out});
    usleep(150 * 1000);
    kill(pid, SIGINT);
    CliResult r = finish(pid);
    if (r.status == 0) {
        EXPECT_TRUE(readFile(out) == kept) << "a completed run wrote a wrong file";
    } else {
        EXPECT_EQ(r.status, 130) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    expectNoTemporaryFilesLeft();
}

// ---- The terminal host ---------------------------------------------------

class CliFrontEndTest : public ::testing::Test {
protected:
    void SetUp() override { stream = open_memstream(&buffer, &size); }
    void TearDown() override
    {
        std::fclose(stream);
        std::free(buffer);
        clearInterrupt();
    }
    std::string written()
    {
        std::fflush(stream);
        return std::string(buffer, size);
    }

    CliFrontEnd host(bool progress)
    {
        return CliFrontEnd(progress, stream, [this] { return now; });
    }

    CliFrontEnd::Clock::time_point now{};
    std::FILE* stream = nullptr;
    char* buffer = nullptr;
    size_t size = 0;
};

TEST_F(CliFrontEndTest, PercentagesAreThinnedStagesAlwaysShow)
{
    using std::chrono::milliseconds;
    CliFrontEnd h = host(true);
    h.showProgress(Stage::Loading, 10, 100);
    now += milliseconds(50);
    h.showProgress(Stage::Loading, 20, 100);  // too soon
    now += milliseconds(60);
    h.showProgress(Stage::Loading, 30, 100);
    now += milliseconds(10);
    h.setStatus("文件已载入！");  // a stage: at once
    h.setStatus("完成保存！");    // the success text waits for main
    h.finish();
    EXPECT_EQ(written(),
              "\r正载入文件...        10%\x1b[K"
              "\r正载入文件...        30%\x1b[K"
              "\r文件已载入！\x1b[K"
              "\r\x1b[K");
    EXPECT_EQ(h.lastStatus(), "完成保存！");
}

TEST_F(CliFrontEndTest, WithoutATerminalNothingIsWritten)
{
    CliFrontEnd h = host(false);
    h.showProgress(Stage::Finding, 50, 100);
    h.setStatus("没有找到重复行...");
    h.finish();
    EXPECT_EQ(written(), "");
    EXPECT_EQ(h.lastStatus(), "没有找到重复行...");
}

TEST_F(CliFrontEndTest, QuestionsGetTheDefaultAndCtrlCStopsWork)
{
    CliFrontEnd h = host(false);
    EXPECT_EQ(h.messageBox("你确实想停止处理吗？", Icon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(h.messageBox("a\nb", Icon::Information, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(h.messageBox("c", Icon::None, Buttons::YesNoCancel), Answer::No);
    EXPECT_EQ(written(), "你确实想停止处理吗？\na b\nc\n");
    bool stopped = true;
    h.runWork(text::kSaveStopQuestion, [&](Work& work) { stopped = work.checkIn(); });
    EXPECT_FALSE(stopped);

    installInterruptHandler();
    std::raise(SIGINT);  // once: a second one would end the test process
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    EXPECT_TRUE(interruptRequested());
    h.runWork(text::kSaveStopQuestion, [&](Work& work) { stopped = work.checkIn(); });
    EXPECT_TRUE(stopped);
    clearInterrupt();
}

}  // namespace
}  // namespace quillow
