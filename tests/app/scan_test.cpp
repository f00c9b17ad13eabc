#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "app/flows/open_flow.h"
#include "engine/text/shown_text.h"
#include "engine/text/text_util.h"
#include "app/texts.h"
#include "support/recording_front_end.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace quillow {
namespace {

using testing::RecordingFrontEnd;
using testing::TempDir;

struct ScanOptions {
    bool caseSensitive = false;
    bool trimLines = false;
    int16_t startPos = 0;
    std::string regex = {};
    int16_t match = 0;
    std::string encoding = "auto";
};

// What a scan works on, with a recording host.
struct ScanRun : testing::TestSession {
    TempDir dir;
    std::string path;

    ScanOutcome run(const std::string& file) { return openFile(session, file); }

    // The entries as the list shows them (decoded when the file is not UTF-8).
    std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        ShownText shown(result.encoding.encoding);
        if (result.dups)
            for (int64_t i = 0; i < result.dups->count(); ++i)
                out.push_back(shown.entry(*result.dups, i));
        return out;
    }
};

void scan(ScanRun& r, const std::string& bytes, const ScanOptions& o = {})
{
    r.path = r.dir.write("in.txt", bytes);
    // A file that looks binary (NUL bytes) is opened when the user says so.
    r.host.answers.push_back(Answer::Yes);
    Options& options = r.settings.options;
    options.caseSensitive = o.caseSensitive;
    options.trimLines = o.trimLines;
    options.startPos = o.startPos;
    options.filterPattern = o.regex;
    options.filterMatch = o.match;
    options.textEncoding = o.encoding;
    r.run(r.path);
}

std::string lines(const std::vector<std::string>& ls, const char* end = "\n")
{
    std::string out;
    for (const auto& l : ls)
        out += l + end;
    return out;
}

TEST(Scan, EntriesForTheDocumentedCases)
{
    struct Row {
        const char* name;
        std::string bytes;
        ScanOptions options;
        std::vector<std::string> entries;
    } rows[] = {
        {"groups ordered by first occurrence",
         lines({"q", "w", "abc", "e", "x", "r", "abc", "t", "x", "y", "abc", "z"}),
         {},
         {"[03]   abc", "[07]   abc", "[11]   abc", "[05]   x", "[09]   x"}},
        {"case-insensitive: each entry shows its own line", lines({"a", "A", "a"}), {}, {"[1]   a", "[2]   A", "[3]   a"}},
        {"case-insensitive and trimmed", lines({" Q ", "q", "  Q"}), {.trimLines = true}, {"[1]   Q", "[2]   q", "[3]   Q"}},
        {"filtered: each entry shows its own match", lines({"k V1", "z v1"}), {.regex = "v\\d", .match = -1},
         {"[1]   V1", "[2]   v1"}},
        {"filtered in GB18030", "\xC4\xE3 K9\nx k9\n", {.regex = "k\\d", .encoding = "GB18030"}, {"[1]   K9", "[2]   k9"}},
        {"case-sensitive", lines({"a", "A", "a"}), {.caseSensitive = true}, {"[1]   a", "[3]   a"}},
        {"trim", lines({"x", "  x  "}), {.trimLines = true}, {"[1]   x", "[2]   x"}},
        {"no trim: blanks count", lines({"x", "  x  "}), {}, {}},
        {"tabs are not blanks", lines({"x", "\tx"}), {.trimLines = true}, {}},
        {"start offset", lines({"001 abc", "002 abc"}), {.startPos = 3}, {"[1]    abc", "[2]    abc"}},
        {"start offset counts characters, not bytes", lines({"中文 x", "ab x"}), {.startPos = 2}, {"[1]    x", "[2]    x"}},
        {"start offset beyond the line gives an empty key", lines({"ab", "cd"}), {.startPos = 5}, {}},
        {"blank keys never count", lines({"", "", "  ", "  "}), {}, {}},
        {"nine lines: width 1", lines({"x", "1", "2", "3", "x", "5", "6", "7", "8"}), {}, {"[1]   x", "[5]   x"}},
        {"ten lines: width 2", lines({"1", "2", "3", "x", "5", "6", "7", "8", "9", "x"}), {}, {"[04]   x", "[10]   x"}},
        {"no final terminator", "a\nb\na", {}, {"[1]   a", "[3]   a"}},
        {"crlf", "a\r\nb\r\na\r\n", {}, {"[1]   a", "[3]   a"}},
        {"cr only", "a\rb\ra\r", {}, {"[1]   a", "[3]   a"}},
        {"cr lf file with an lf file appended", "one\r\ntwo\r\nthree\r\nfour\r\none\ntwo\nthree\n", {},
         {"[1]   one", "[5]   one", "[2]   two", "[6]   two", "[3]   three", "[7]   three"}},
        {"cr lf csv with a quoted line break", "h\r\nx,\"a\nb\"\r\ny\r\nx,\"a\nb\"\r\n", {},
         {"[2]   x,\"a\nb\"", "[4]   x,\"a\nb\""}},
        {"a quote that never closes ends at cr", "\"a\nb\r\n\"a\nb\r\nc\r\n", {}, {"[1]   \"a\nb", "[2]   \"a\nb"}},
        {"lone cr and lone lf", "x\ry\nx\ry\r", {}, {"[1]   x", "[3]   x", "[2]   y", "[4]   y"}},
        {"utf-8 bom removed", "\xEF\xBB\xBFsame\nsame\n", {}, {"[1]   same", "[2]   same"}},
        {"utf-16 le bom", std::string("\xFF\xFEx\0\n\0x\0\n\0", 10), {}, {"[1]   x", "[2]   x"}},
        {"unicode case folding", lines({"Straße", "STRASSE", "Ärger", "ärger"}), {},
         {"[1]   Straße", "[2]   STRASSE", "[3]   Ärger", "[4]   ärger"}},
        {"invalid utf-8 kept byte for byte", "\xC3(\n\xC3(\n", {.encoding = "UTF-8"}, {"[1]   \xC3(", "[2]   \xC3("}},
        {"nul bytes", std::string("a\0b\na\0b\n", 8), {}, {std::string("[1]   a\0b", 9), std::string("[2]   a\0b", 9)}},
        {"regex all matches", lines({"a1b22", "x1y22", "no"}), {.regex = "\\d+", .match = 0}, {"[1]   122", "[2]   122"}},
        {"regex nth match", lines({"id=7 a", "id=7 b", "id=8"}), {.regex = "\\w+", .match = 2}, {"[1]   7", "[2]   7"}},
        {"regex last match; no match keeps the line", lines({"k v1", "z v1", "plain", "plain"}), {.regex = "v\\d", .match = -1},
         {"[1]   v1", "[2]   v1", "[3]   plain", "[4]   plain"}},
        {"regex nth beyond count gives empty keys", lines({"a", "a"}), {.regex = "a", .match = 2}, {}},
        {"filter sees every character", lines({"xé", "xè", "a\xFF", "a\xFE"}), {.regex = "\\S+", .encoding = "UTF-8"}, {}},
        {"a rejected pattern stops the scan", lines({"(x", "(x"}), {.regex = "(", .match = 0}, {}},
    };
    for (const Row& row : rows) {
        ScanRun r;
        scan(r, row.bytes, row.options);
        EXPECT_EQ(r.entries(), row.entries) << row.name;
        EXPECT_FALSE(r.session.busy) << row.name;
    }
}

TEST(Scan, AFileThatLooksBinaryOpensOnlyWhenTheUserSaysSo)
{
    ScanRun r;
    const std::string path = r.dir.write("prog", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\0\0", 12) + "a\na\n");
    struct Row {
        const char* name;
        bool unattended;
        std::optional<Answer> answer;  // none: nothing may be asked
        ScanOutcome outcome;
    };
    const Row rows[] = {
        {"declined: nothing is read", false, Answer::No, ScanOutcome::NoFile},
        {"accepted: scanned as any file", false, Answer::Yes, ScanOutcome::Completed},
        {"an unattended run asks nothing", true, std::nullopt, ScanOutcome::Completed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        r.host.messages.clear();
        r.session.unattended = row.unattended;
        if (row.answer)
            r.host.answers.push_back(*row.answer);
        EXPECT_EQ(r.run(path), row.outcome);
        ASSERT_EQ(r.host.messages.size(), row.answer ? 1u : 0u);
        if (row.answer) {
            EXPECT_EQ(r.host.messages[0].text, text::arg(text::translated(text::kBinaryQuestion), path));
            EXPECT_EQ(r.host.messages[0].buttons, Buttons::YesNo);
        }
        EXPECT_EQ(r.result.file, row.outcome == ScanOutcome::Completed ? path : std::string());
    }
}

TEST(Scan, StatusTextsProgressAndState)
{
    ScanRun r;
    std::vector<std::string> ls;
    for (int i = 0; i < 120; ++i)
        ls.push_back(i % 40 == 0 ? "dup" : "line " + std::to_string(i));
    scan(r, lines(ls));

    const auto& st = r.host.statuses;
    auto pos = [&](const std::string& t) { return std::find(st.begin(), st.end(), t) - st.begin(); };
    ASSERT_LT(pos("正载入文件..."), pos("正载入文件...        100%"));
    EXPECT_LT(pos("正载入文件...        100%"), pos("文件已载入！"));
    EXPECT_LT(pos("文件已载入！"), pos("正查找重复项..."));
    EXPECT_LT(pos("正查找重复项..."), pos("正查找重复项...             99%"));
    EXPECT_LT(pos("正查找重复项...             99%"), pos("正在归组重复项..."));
    EXPECT_LT(pos("正在归组重复项..."), pos("正在结束..."));
    EXPECT_LT(pos("正在结束..."), pos("正在给重复项排序..."));
    EXPECT_LT(pos("正在给重复项排序..."), pos("正在显示列表..."));
    EXPECT_EQ(r.host.status(), "扫描      120 行: 找到        3 个重复项包含有              1 个唯一的重复项！");
    EXPECT_EQ(r.host.captions.back(), "Quillow 3.0 - " + r.path);

    EXPECT_EQ(r.result.file, r.path);
    EXPECT_EQ(r.settings.lastLoadedFile, r.path);
    EXPECT_EQ(r.result.lineCount, 120);
    EXPECT_FALSE(r.result.bigFile);
    EXPECT_TRUE(r.result.ready);
    EXPECT_EQ(r.settings.counters.filesOpened, 1);
    EXPECT_EQ(r.settings.counters.linesScanned, 120);
    EXPECT_EQ(r.settings.counters.dupsFound, 3);
    EXPECT_EQ(r.settings.counters.uniqueDupsFound, 1);
    EXPECT_TRUE(r.host.buttons.saveEnabled && r.host.buttons.selectEnabled && r.host.buttons.viewEnabled);
    EXPECT_TRUE(r.host.buttons.scanVisible && !r.host.buttons.stopVisible);
}

TEST(Scan, NoDuplicatesAndBlankOnlyFiles)
{
    for (std::string bytes : {std::string("  \n"), lines({"a", "b"}), std::string("\n\n\n")}) {
        ScanRun r;
        scan(r, bytes);
        EXPECT_EQ(r.host.status(), "没有找到重复行...");
        EXPECT_FALSE(r.result.ready);
        EXPECT_FALSE(r.host.buttons.saveEnabled);
        EXPECT_EQ(r.settings.counters.filesOpened, 1);
    }
}

TEST(Scan, BadFilesTakeTheErrorPath)
{
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string cannotOpen = "错误: 无法打开文件 ";
    // A FIFO or a device is refused without being opened (a FIFO would block).
    struct Row {
        const char* name;
        std::string path;
        std::string status;
        ScanOutcome outcome;
    } rows[] = {
        {"missing", dir.file("nope.txt"), cannotOpen + dir.file("nope.txt") + ": " + std::strerror(ENOENT),
         ScanOutcome::Failed},
        {"directory", dir.path().string(), cannotOpen + dir.path().string() + ": 不是普通文件", ScanOutcome::Failed},
        {"fifo", fifo, cannotOpen + fifo + ": 不是普通文件", ScanOutcome::Failed},
        {"device", "/dev/zero", cannotOpen + "/dev/zero: 不是普通文件", ScanOutcome::Failed},
        {"empty", dir.write("empty.txt", ""), "错误: 文件为空！", ScanOutcome::EmptyFile},
    };
    for (const Row& row : rows) {
        ScanRun r;
        EXPECT_EQ(r.run(row.path), row.outcome) << row.name;
        EXPECT_EQ(r.host.status(), row.status) << row.name;
        EXPECT_FALSE(r.session.busy) << row.name;
        EXPECT_TRUE(r.result.file.empty()) << row.name;
        EXPECT_TRUE(r.host.buttons.scanEnabled && r.host.buttons.scanVisible) << row.name;
        EXPECT_FALSE(r.host.buttons.stopVisible) << row.name;
        EXPECT_FALSE(r.result.dups) << row.name;
    }
}

TEST(Scan, UnreadableFileIsRefused)
{
    TempDir dir;
    chmod(dir.path().c_str(), 0755);
    std::string p = dir.write("secret.txt", "a\na\n");
    chmod(p.c_str(), 0);
    auto status = testing::unprivileged([&] {
        ScanRun r;
        r.run(p);
        return r.host.status() + "|" + r.result.file;
    });
    ASSERT_TRUE(status) << "could not switch to an unprivileged user";
    EXPECT_EQ(*status, "错误: 无法打开文件 " + p + ": " + std::strerror(EACCES) + "|");
}

TEST(Scan, TheFileComesFromTheCallerOrTheDialog)
{
    ScanRun r;
    r.settings.lastLoadedFile = "/some/where.txt";
    EXPECT_EQ(r.run(""), ScanOutcome::NoFile);  // the dialog was cancelled
    ASSERT_EQ(r.host.openRequests.size(), 1u);
    EXPECT_EQ(r.host.openRequests[0].fileName, "/some/where.txt");
    EXPECT_EQ(r.host.openRequests[0].filter, text::kFileFilter);
    EXPECT_EQ(r.host.openRequests[0].defaultExt, "TXT");
    EXPECT_TRUE(r.host.statuses.empty());
    EXPECT_FALSE(r.session.busy);

    std::string chosen = r.dir.write("chosen.txt", "c\nc\n");
    r.host.openFiles.push_back(chosen);
    r.run("");
    EXPECT_EQ(r.result.file, chosen);

    std::string given = r.dir.write("given.txt", "d\nd\n");
    r.run(given);
    EXPECT_EQ(r.result.file, given);
    EXPECT_EQ(r.host.openRequests.size(), 2u);

    r.session.unattended = true;  // nobody to ask
    EXPECT_EQ(r.run(""), ScanOutcome::NoFile);
    EXPECT_EQ(r.host.openRequests.size(), 2u);
}

TEST(Scan, BigFileModeStartsAt32768Lines)
{
    for (int n : {32767, 32768}) {
        ScanRun r;
        std::string bytes;
        for (int i = 0; i < n; ++i)
            bytes += (i == 0 || i == n - 1) ? "same\n" : std::to_string(i) + "\n";
        scan(r, bytes);
        const bool big = n == 32768;
        EXPECT_EQ(r.result.bigFile, big) << n;
        // The lists show big files too: there is nothing to warn about.
        EXPECT_TRUE(r.host.messages.empty()) << n;
        EXPECT_FALSE(r.result.memoryPreserved) << n;
        EXPECT_EQ(r.entries(), (std::vector<std::string>{"[00001]   same", "[" + std::to_string(n) + "]   same"})) << n;
    }

    // preserveMemory releases a big file's line texts.
    ScanRun r;
    std::string bytes;
    for (int i = 0; i < 32768; ++i)
        bytes += "l" + std::to_string(i % 100) + "\n";
    r.session.unattended = true;
    r.settings.options.preserveMemory = true;
    r.run(r.dir.write("big.txt", bytes));
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_TRUE(r.result.memoryPreserved);
    EXPECT_THROW(r.result.source->text(0), ListIndexError);
    EXPECT_EQ(r.result.source->count(), 32768);
    EXPECT_EQ(r.result.dups->text(0), "[00001]   l0");  // keys survive the release
    EXPECT_TRUE(r.host.buttons.saveEnabled);
    EXPECT_FALSE(r.host.buttons.viewEnabled);
}

TEST(Scan, StopQuestionNoGoesOnYesInterrupts)
{
    std::string bytes;
    for (int i = 0; i < 500; ++i)
        bytes += "x" + std::to_string(i % 7) + "\n";

    {  // No: carries on to the normal result
        ScanRun r;
        int n = 0;
        r.host.onCheckIn = [&] {
            if (++n == 4)
                r.host.pressStop();
        };
        r.host.answers = {Answer::No};
        scan(r, bytes);
        ASSERT_EQ(r.host.messages.size(), 1u);
        EXPECT_EQ(r.host.messages[0].text, "你确实想停止处理吗？");
        EXPECT_EQ(r.host.messages[0].icon, Icon::Question);
        EXPECT_EQ(r.host.messages[0].buttons, Buttons::YesNo);
        EXPECT_TRUE(r.result.ready);
        EXPECT_EQ(r.host.status().rfind("扫描      500 行", 0), 0u);
    }
    struct Row {
        const char* name;
        int stopAtCheckIn;
        std::string status;
    } rows[] = {
        {"during loading", 1, "没有找到重复行(被用户中断)"},
        {"while comparing", 5, ""},
    };
    for (const Row& row : rows) {
        ScanRun r;
        int n = 0;
        r.host.onCheckIn = [&] {
            if (++n == row.stopAtCheckIn)
                r.host.pressStop();
        };
        r.host.answers = {Answer::Yes};
        r.session.unattended = true;
        r.run(r.dir.write("in.txt", bytes));
        if (!row.status.empty())
            EXPECT_EQ(r.host.status(), row.status) << row.name;
        else
            EXPECT_EQ(r.host.status(), std::to_string(r.result.dups->count()) + " 找到重复行(被用户中断)")
                << row.name;
        EXPECT_TRUE(r.result.file.empty()) << row.name;
        EXPECT_FALSE(r.result.ready) << row.name;
        EXPECT_FALSE(r.host.buttons.saveEnabled) << row.name;
        EXPECT_FALSE(r.session.busy) << row.name;
        EXPECT_EQ(r.settings.counters.filesOpened, 0) << row.name;
    }
}

TEST(Scan, StatisticsSaturate)
{
    ScanRun r;
    r.settings.counters.linesScanned = INT32_MAX - 1;
    scan(r, lines({"a", "a", "b"}));
    EXPECT_EQ(r.settings.counters.linesScanned, INT32_MAX);
}

TEST(Scan, LongLineWithoutTerminator)
{
    ScanRun r;
    std::string big(50u << 20, 'q');
    scan(r, big + "\n" + big);
    EXPECT_EQ(r.result.dups->count(), 2);
    EXPECT_EQ(r.result.dups->lineNumber(1), 2);
}

}  // namespace
}  // namespace quillow

namespace quillow {
namespace {

// The documented entries, computed the plain way: for every key seen at
// least twice, all its lines in order, groups in order of first occurrence,
// and every entry showing its own line's key.
std::vector<std::string> referenceEntries(const std::vector<std::string>& lines, bool caseSensitive, bool trim)
{
    std::map<std::string, std::vector<size_t>> byKey;
    std::vector<std::string> keys;
    for (const std::string& l : lines) {
        std::string k(trim ? trimBlanks(l) : std::string_view(l));
        keys.push_back(k);
        if (isBlankOnly(k))
            continue;
        std::string folded;
        if (caseSensitive)
            folded = k;
        else
            foldCase(k, folded);
        byKey[folded].push_back(keys.size() - 1);
    }
    std::vector<std::vector<size_t>> groups;
    for (auto& [k, at] : byKey)
        if (at.size() > 1)
            groups.push_back(at);
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
    const int width = digitCount(static_cast<int64_t>(lines.size()));
    std::vector<std::string> out;
    for (const auto& g : groups)
        for (size_t j = 0; j < g.size(); ++j)
            out.push_back("[" + padNumber(static_cast<int64_t>(g[j]) + 1, width) + "]   " + keys[g[j]]);
    return out;
}

TEST(Scan, LargeFilesGiveTheSameEntriesOnTwoCores)
{
    // Enough lines and bytes for the two-core paths (reading, splitting,
    // comparing in several ranges), with case and blank variants.
    std::vector<std::string> lines;
    uint32_t x = 7;
    for (int i = 0; i < 240000; ++i) {
        x = x * 1103515245 + 12345;
        const uint32_t r = x >> 8;
        std::string l = "entry " + std::to_string(r % 90000) + " of a generated file, padded to be long enough to need two cores";
        if (r % 11 == 0)
            l = "  " + l;
        if (r % 13 == 0)
            for (char& c : l)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (r % 97 == 0)
            l = "Grüße " + std::to_string(r % 50) + " ÄÖÜ";
        if (r % 101 == 0)
            l = "";
        lines.push_back(l);
    }
    for (const char* eol : {"\n", "\r\n"}) {
        for (int caseSensitive : {0, 1}) {
            for (int trimLines : {0, 1}) {
                ScanRun r;
                scan(r, ::quillow::lines(lines, eol), {.caseSensitive = caseSensitive != 0, .trimLines = trimLines != 0});
                ASSERT_GT(r.result.source->bytes().size(), size_t{16} << 20);
                ASSERT_GT(r.result.dups->count(), 100000);
                EXPECT_EQ(r.entries(), referenceEntries(lines, caseSensitive, trimLines))
                    << "case " << caseSensitive << " trim " << trimLines << " crlf " << (eol[0] == '\r');
            }
        }
    }
}

}  // namespace
}  // namespace quillow
