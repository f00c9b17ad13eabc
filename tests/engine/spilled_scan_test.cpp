// A file scanned within a few kilobytes of memory works through a temporary
// file and gives what the scan in memory gives: entries, status, lines and
// the cleaned file, in every way of comparing. The temporary file is never
// left behind: after success (with or without unnamed files), a full disk
// and a stop.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "engine/io/file_ops.h"
#include "engine/runtime/memory_limit.h"
#include "engine/text/shown_text.h"
#include "engine/text/text_encoder.h"
#include "app/unattended_run.h"
#include "support/generated_lines.h"
#include "support/recording_front_end.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::RecordingFrontEnd;
using testing::TempDir;

// $TMPDIR pointed at a folder of the test's own while it runs.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        const char* old = std::getenv("TMPDIR");
        old_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TMPDIR", dir_.path().c_str(), 1);
    }
    ~TemporaryFolder()
    {
        if (old_)
            ::setenv("TMPDIR", old_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    std::string path() const { return dir_.path().string(); }
    bool empty() const { return std::filesystem::is_empty(dir_.path()); }

private:
    TempDir dir_;
    std::optional<std::string> old_;
};

struct CleanUp : testing::TestSession {
    RunOutcome outcome{};

    // Scans in and writes the cleaned file to out (all but the first of each key).
    CleanUp(const Options& options, const std::string& maxMemory, const std::string& in, const std::string& out)
    {
        settings.options = options;
        settings.options.maxMemory = maxMemory;
        RunRequest request;
        request.input = in;
        request.output = out;
        request.select = SelectCommand::AllButFirst;
        outcome = runUnattended(session, request);
    }

    // The scan's last word.
    std::string summary() const
    {
        for (auto it = host.statuses.rbegin(); it != host.statuses.rend(); ++it)
            if (it->rfind("扫描 ", 0) == 0)
                return *it;
        return {};
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        ShownText shown(result.encoding.encoding);
        for (int64_t i = 0; result.dups && i < result.dups->count(); ++i)
            out.push_back(std::to_string(result.dups->group(i)) + shown.entry(*result.dups, i));
        return out;
    }
};

TEST(SpilledScan, AgreesWithTheScanInMemory)
{
    const testing::ComparedCase rows[] = {
        {"many duplicates, folded case", 20000, 70, false, false, false, "", ""},
        {"few duplicates, exact, trimmed", 20000, 3, true, true, false, "", ""},
        {"filtered (joined matches), folded case", 5000, 50, false, false, false, "\\d+|[A-Z]+", ""},
        {"compatibility forms", 5000, 50, false, false, true, "", ""},
        {"UTF-16LE with a mark, folded case", 5000, 50, false, false, false, "", "UTF-16LE"},
        {"GB18030, exact", 5000, 50, true, false, false, "", "GB18030"},
    };
    TemporaryFolder temp;
    for (const testing::ComparedCase& row : rows) {
        TempDir dir;
        Options options = row.options();
        std::string bytes = row.bytes(static_cast<uint32_t>(row.share));
        // UTF-16LE by its mark, GB18030 by name.
        if (row.textEncoding().form() == EncodingForm::Utf16LE)
            bytes = "\xFF\xFE" + bytes;
        else if (*row.encoding)
            options.textEncoding = row.encoding;
        const std::string in = dir.write("in.txt", bytes);
        const CleanUp memory(options, "auto", in, dir.file("memory.txt"));
        const CleanUp disk(options, "1K", in, dir.file("disk.txt"));
        EXPECT_FALSE(memory.result.onDisk) << row.name;
        EXPECT_TRUE(disk.result.onDisk) << row.name;
        EXPECT_EQ(disk.outcome, RunOutcome::Written) << row.name;
        EXPECT_EQ(disk.result.encoding.encoding, memory.result.encoding.encoding) << row.name;
        EXPECT_GT(memory.entries().size(), static_cast<size_t>(row.lines * row.share / 200)) << row.name;
        EXPECT_EQ(disk.entries(), memory.entries()) << row.name;
        EXPECT_EQ(disk.summary(), memory.summary()) << row.name;
        EXPECT_EQ(testing::readFile(dir.file("disk.txt")), testing::readFile(dir.file("memory.txt"))) << row.name;
        // The source list reads its lines from the file.
        for (const int64_t i : {int64_t{0}, int64_t{1}, int64_t{row.lines / 2}, int64_t{row.lines - 1}}) {
            EXPECT_EQ(disk.result.source->view(i), memory.result.source->view(i)) << row.name << " line " << i;
            EXPECT_EQ(disk.result.source->lineEnd(i), memory.result.source->lineEnd(i)) << row.name << " line " << i;
        }
    }
    EXPECT_TRUE(temp.empty());
}

// The encoding settled from the bytes as in memory: a legacy encoding by the
// detector, UTF-8 that a stray byte does not overturn, CR LF ends by their
// majority.
TEST(SpilledScan, SettlesTheEncodingAsTheScanInMemory)
{
    TemporaryFolder temp;
    const std::string text = testing::generatedLines(8000, 40, 3);
    std::string scratch;
    const std::string gb = std::string(TextEncoder(*encodingNamed("GB18030").encoding).encode(text, scratch));
    std::string stray = text;
    stray.insert(stray.size() / 2, "\xFF");
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    // Valid UTF-8 before the line of the stray byte counts for UTF-8 too.
    std::string strayLate;
    for (int i = 0; i < 3000; ++i)
        strayLate += "entry " + std::to_string(i % 1000) + " é\n";
    strayLate += "\xFF\n";
    // Past the first 4 MiB, which the scan on disk first goes by.
    std::string ascii;
    for (int i = 0; ascii.size() < (size_t{9} << 19); ++i)
        ascii += "line " + std::to_string(i % 20000) + std::string(120, '.') + "\n";
    std::string crlfs;
    for (int i = 0; i < 6; ++i)
        crlfs += crlf;
    for (const auto& [name, bytes] : {std::pair{"GB18030, detected", gb}, std::pair{"UTF-8 with a stray byte", stray},
                                      std::pair{"UTF-8 with a stray byte late", strayLate}, std::pair{"CR LF", crlf},
                                      std::pair{"GB18030 after 4.5 MiB of ASCII", ascii + gb},
                                      std::pair{"UTF-8 with a stray byte after 4.5 MiB", ascii + stray},
                                      std::pair{"CR LF after 4.5 MiB of LF", ascii + crlfs}}) {
        TempDir dir;
        const std::string in = dir.write("in.txt", bytes);
        const CleanUp memory(Options(), "auto", in, dir.file("memory.txt"));
        const CleanUp disk(Options(), "1K", in, dir.file("disk.txt"));
        EXPECT_TRUE(disk.result.onDisk) << name;
        EXPECT_EQ(disk.result.encoding.encoding, memory.result.encoding.encoding) << name;
        if (std::string_view(name).starts_with("UTF-8")) {
            EXPECT_TRUE(memory.result.encoding.encoding.isUtf8()) << name;
        }
        EXPECT_EQ(disk.result.encoding.evidence, memory.result.encoding.evidence) << name;
        EXPECT_EQ(disk.result.lineEndMode, memory.result.lineEndMode) << name;
        EXPECT_EQ(disk.entries(), memory.entries()) << name;
        EXPECT_EQ(testing::readFile(dir.file("disk.txt")), testing::readFile(dir.file("memory.txt"))) << name;
    }
    EXPECT_TRUE(temp.empty());
}

// File operations that fail the way a test asks: no unnamed files, or a
// full disk.
struct FailingOps : FileOps {
    bool noUnnamedFiles = false;
    bool fullDisk = false;
    int open(const char* path, int flags, mode_t mode) override
    {
        if (noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return FileOps::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* buf, size_t count) override
    {
        if (fullDisk) {
            errno = ENOSPC;
            return -1;
        }
        return FileOps::write(fd, buf, count);
    }
};

TEST(SpilledScan, LeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string bytes = testing::generatedLines(20000, 50, 7);
    const std::string in = dir.write("in.txt", bytes);
    struct Row {
        const char* name;
        bool noUnnamedFiles, fullDisk, stop;
        RunOutcome outcome;
    } rows[] = {
        {"unnamed file", false, false, false, RunOutcome::Written},
        {"named file, removed at once", true, false, false, RunOutcome::Written},
        {"a full disk", false, true, false, RunOutcome::InputError},
        {"stopped", false, false, true, RunOutcome::Stopped},
    };
    for (const Row& row : rows) {
        TemporaryFolder temp;
        FailingOps ops;
        ops.noUnnamedFiles = row.noUnnamedFiles;
        ops.fullDisk = row.fullDisk;
        const ScopedFileOps scoped(ops);
        testing::TestSession t;
        t.settings.options.maxMemory = "1K";
        RecordingFrontEnd& host = t.host;
        int checkIns = 0;
        host.onCheckIn = [&] {
            if (row.stop && ++checkIns == 100)
                host.pressStop();
        };
        host.answers = {Answer::Yes};
        RunRequest request;
        request.input = in;
        request.output = dir.file("out.txt");
        request.select = SelectCommand::AllButFirst;
        EXPECT_EQ(runUnattended(t.session, request), row.outcome) << row.name;
        EXPECT_TRUE(temp.empty()) << row.name;
        EXPECT_EQ(testing::readFile(in), bytes) << row.name;
        if (row.fullDisk) {
            EXPECT_EQ(host.status(), "错误: 无法写入临时文件 " + temp.path() + ": " + std::strerror(ENOSPC)) << row.name;
        }
        std::filesystem::remove(dir.file("out.txt"));
    }
}

TEST(MemoryLimit, SizesAndTheMachine)
{
    struct Row {
        const char* text;
        std::optional<int64_t> bytes;
    } rows[] = {
        {"512M", int64_t{512} << 20}, {"4g", int64_t{4} << 30}, {"1024", 1024}, {" 2K ", 2048},
        {"1T", int64_t{1} << 40},     {"auto", std::nullopt},   {"0", std::nullopt}, {"1.5G", std::nullopt},
        {"-1M", std::nullopt},        {"M", std::nullopt},      {"99999999999T", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(parseMemorySize(row.text), row.bytes) << row.text;
    EXPECT_GT(availableMemory(), 0);
    EXPECT_EQ(memoryLimit("1K"), 1024);
    EXPECT_GT(memoryLimit("auto"), 0);
}

// The control group's limit, less what it uses beyond its file cache,
// counts at every level up to the mount point, in both hierarchies.
TEST(MemoryLimit, ControlGroups)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::optional<int64_t> room;
    } rows[] = {
        {"v2: the tighter of the group and its parent",
         {{"proc/self/cgroup", "0::/jobs/run\n"},
          {"proc/self/mountinfo", "30 1 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"},
          {"sys/fs/cgroup/jobs/run/memory.max", "max\n"},
          {"sys/fs/cgroup/jobs/memory.max", "1000000\n"},
          {"sys/fs/cgroup/jobs/memory.current", "300000\n"},
          {"sys/fs/cgroup/jobs/memory.stat", "anon 100000\ninactive_file 150000\nactive_file 50000\n"}},
         int64_t{900000}},
        {"v1: the memory controller's group, seen from a container",
         {{"proc/self/cgroup", "5:cpu:/\n4:memory:/box/job\n0::/\n"},
          {"proc/self/mountinfo", "35 31 0:32 /box /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n"},
          {"sys/fs/cgroup/memory/job/memory.limit_in_bytes", "500000\n"},
          {"sys/fs/cgroup/memory/job/memory.usage_in_bytes", "200000\n"},
          {"sys/fs/cgroup/memory/job/memory.stat", "total_inactive_file 50000\n"},
          {"sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}},
         int64_t{350000}},
        {"no limit anywhere",
         {{"proc/self/cgroup", "0::/a\n"},
          {"proc/self/mountinfo", "30 1 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"},
          {"sys/fs/cgroup/a/memory.max", "max\n"}},
         std::nullopt},
    };
    for (const Row& row : rows) {
        TempDir root;
        for (const auto& [name, text] : row.files) {
            std::filesystem::create_directories(std::filesystem::path(root.file(name)).parent_path());
            root.write(name, text);
        }
        EXPECT_EQ(cgroupMemoryRoom(root.path().string()), row.room) << row.name;
    }
}

}  // namespace
}  // namespace quillow
