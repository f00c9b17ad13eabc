// The save's checks and target rules, in the interactive and the unattended
// mode, and what it does with unusual targets.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "support/save_fixture.h"
#include "app/texts.h"
#include "engine/io/file_info.h"
#include "support/unprivileged.h"

namespace quillow {
namespace {

using testing::readFile;
using testing::SaveTest;
using testing::unprivileged;

const std::string kInput = "a\nb\na\nc\n";
const std::string kCleaned = "a\nb\nc\n";
const char* const kNothingSelected =
    "没有选择重复项！ 请在重复列表中选择行并标记这些行的检查框，或点击选择按钮使用通常选项。 "
    "那么，你就可以保存为没有这些选定行的文件。";
const char* const kExtensionQuestion = "新文件名没有包含扩展名。你打算\n添加与原始文件名一样的扩展名吗？(推荐)";
const char* const kWriteProtected = "所选文件有写入保护。你要移除写入保护并继续保存吗？";

void touchLater(const std::string& path)
{
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    struct timeval tv[2] = {{st.st_atime, 0}, {st.st_mtime + 10, 0}};
    ASSERT_EQ(::utimes(path.c_str(), tv), 0);
}

struct CheckCase {
    const char* name;
    std::function<void(SaveTest&, const std::string&)> spoil;
    std::string message;  // interactive; empty: none
    Icon icon;
    SaveOutcome outcome = SaveOutcome::NothingToSave;
    // The source's name and ": " reason follow the message ("": the name
    // alone); nullopt: nothing follows.
    std::optional<std::string> reason = std::nullopt;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class Checks : public SaveTest, public ::testing::WithParamInterface<CheckCase> {
protected:
    void SetUp() override
    {
        scan(kInput);
        selectLines({3});
        GetParam().spoil(*this, source);
    }

    // The message, then on a line of its own (in a message box) or after a
    // blank (in a status) the source and the reason.
    std::string expected(const char* separator) const
    {
        const CheckCase& c = GetParam();
        if (!c.reason)
            return c.message;
        return c.message + separator + source + (c.reason->empty() ? "" : ": " + *c.reason);
    }
};

TEST_P(Checks, InteractiveShowsTheMessageAndWritesNothing)
{
    std::string target = dir.file("out.txt");
    host.saveFiles = {target};
    EXPECT_EQ(save(), GetParam().outcome);
    if (GetParam().message.empty()) {
        EXPECT_TRUE(host.messages.empty());
    } else {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, expected("\n"));
        EXPECT_EQ(host.messages[0].icon, GetParam().icon);
        EXPECT_EQ(host.messages[0].buttons, Buttons::Ok);
    }
    EXPECT_TRUE(host.saveRequests.empty());
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_FALSE(std::filesystem::exists(target));
}

// Silent but for the source's failures, whose status is a run's last words.
TEST_P(Checks, UnattendedAsksNothing)
{
    std::string target = dir.file("out.txt");
    EXPECT_EQ(saveTo(target), GetParam().outcome);
    EXPECT_TRUE(host.messages.empty());
    if (GetParam().reason)
        EXPECT_EQ(host.statuses, std::vector<std::string>{expected(" ")});
    else
        EXPECT_TRUE(host.statuses.empty());
    EXPECT_FALSE(std::filesystem::exists(target));
}

INSTANTIATE_TEST_SUITE_P(
    Save, Checks,
    ::testing::Values(
        CheckCase{"no_scanned_file", [](SaveTest& t, const std::string&) { t.result.file.clear(); }, "",
                  Icon::None},
        CheckCase{"busy", [](SaveTest& t, const std::string&) { t.session.busy = true; }, "", Icon::None},
        CheckCase{"source_deleted", [](SaveTest&, const std::string& p) { ::unlink(p.c_str()); },
                  "无法找到来源文件！", Icon::Critical, SaveOutcome::SourceMissing, std::strerror(ENOENT)},
        CheckCase{"source_now_a_directory",
                  [](SaveTest&, const std::string& p) {
                      ::unlink(p.c_str());
                      ::mkdir(p.c_str(), 0755);
                  },
                  "无法找到来源文件！", Icon::Critical, SaveOutcome::SourceMissing, "不是普通文件"},
        CheckCase{"source_touched", [](SaveTest&, const std::string& p) { touchLater(p); },
                  "来源文件已被更改！取消保存...", Icon::Critical, SaveOutcome::SourceChanged, ""},
        CheckCase{"nothing_selected",
                  [](SaveTest& t, const std::string&) {
                      for (int64_t i = 0; i < t.result.dups->count(); ++i)
                          t.result.dups->setSelected(i, false);
                  },
                  kNothingSelected, Icon::Warning, SaveOutcome::NothingSelected}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, SaveDialogStartsAtTheLastSavedFile)
{
    scan(kInput);
    selectLines({3});
    settings.lastSavedFile = dir.file("previous.txt");
    host.saveFiles = {std::nullopt};
    EXPECT_EQ(save(), SaveOutcome::Cancelled);
    ASSERT_EQ(host.saveRequests.size(), 1u);
    const FileDialogRequest& r = host.saveRequests[0];
    EXPECT_EQ(r.fileName, dir.file("previous.txt"));
    EXPECT_EQ(r.filter, text::kFileFilter);
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.defaultExt, "TXT");
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(settings.lastSavedFile, dir.file("previous.txt"));
    EXPECT_TRUE(host.statuses.empty());
}

// The mark is written back, so the copy stays in its encoding: nothing to
// warn about any more.
TEST_F(SaveTest, AByteOrderMarkIsKeptWithoutAQuestion)
{
    scan("\xEF\xBB\xBFx\nx\n");
    selectLines({2});
    std::string target = dir.file("out.txt");
    host.saveFiles = {target};
    EXPECT_EQ(save(), SaveOutcome::Written);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(readFile(target), "\xEF\xBB\xBFx\n");
}

struct ExtensionCase {
    const char* name;
    const char* sourceName;
    const char* typed;        // relative to the folder
    std::optional<Answer> answer;  // nullopt: no question expected
    const char* written;      // file that must hold the output; nullptr: none
};

void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.name; }

class Extension : public SaveTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(Extension, QuestionAndResult)
{
    const ExtensionCase& c = GetParam();
    ::mkdir(dir.file("my.dir").c_str(), 0755);
    scan(kInput, c.sourceName);
    selectLines({3});
    settings.lastSavedFile = "before";
    host.saveFiles = {dir.file(c.typed)};
    if (c.answer)
        host.answers = {*c.answer};
    SaveOutcome outcome = save();

    if (c.answer) {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, kExtensionQuestion);
        EXPECT_EQ(host.messages[0].icon, Icon::Warning);
        EXPECT_EQ(host.messages[0].buttons, Buttons::YesNoCancel);
    } else {
        EXPECT_TRUE(host.messages.empty());
    }
    if (c.written) {
        EXPECT_EQ(outcome, SaveOutcome::Written);
        EXPECT_EQ(readFile(dir.file(c.written)), kCleaned);
        EXPECT_EQ(settings.lastSavedFile, dir.file(c.written));
    } else {
        EXPECT_EQ(outcome, SaveOutcome::Cancelled);
        EXPECT_EQ(settings.lastSavedFile, "before");
        EXPECT_FALSE(std::filesystem::exists(dir.file(c.typed)));
        EXPECT_TRUE(host.statuses.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Save, Extension,
    ::testing::Values(ExtensionCase{"yes_adds_the_source_extension", "list.txt", "cleaned", Answer::Yes, "cleaned.txt"},
                      ExtensionCase{"no_keeps_the_name", "list.txt", "cleaned", Answer::No, "cleaned"},
                      ExtensionCase{"cancel_saves_nothing", "list.txt", "cleaned", Answer::Cancel, nullptr},
                      ExtensionCase{"last_dot_of_the_source", "a.b.log", "cleaned", Answer::Yes, "cleaned.log"},
                      ExtensionCase{"dot_in_a_folder_name", "list.txt", "my.dir/cleaned", std::nullopt,
                                    "my.dir/cleaned"},
                      ExtensionCase{"source_without_dot", "list", "cleaned", std::nullopt, "cleaned"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, UnattendedAsksNoExtensionQuestion)
{
    scan(kInput);
    selectLines({3});
    EXPECT_EQ(saveTo(dir.file("cleaned")), SaveOutcome::Written);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(readFile(dir.file("cleaned")), kCleaned);
    EXPECT_TRUE(session.unattended);
}

// The source named in another way is still the source: written through the
// temporary file and swapped in, a symlink stays a symlink.
struct SpellingCase {
    const char* name;
    std::function<std::string(testing::TempDir&)> spell;  // makes the spelling, returns it
    bool sourceCleaned;  // false for a hard link: only the name chosen is replaced
};

void PrintTo(const SpellingCase& c, std::ostream* os) { *os << c.name; }

class SameFile : public SaveTest, public ::testing::WithParamInterface<SpellingCase> {};

TEST_P(SameFile, WritesThroughTheTemporaryFile)
{
    const SpellingCase& c = GetParam();
    // The other names exist before the scan: a new hard link changes the
    // file's change time, which counts as a change.
    source = dir.write("in.txt", kInput);
    std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::string target = c.spell(dir);
    scanFile(source);
    selectLines({3});
    struct RenameLog : FileOps {
        std::vector<std::pair<std::string, std::string>> renames;
        int renameat(int fromFolder, const char* from, int toFolder, const char* to) override
        {
            auto path = [](int folder, const char* name) {
                return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(folder)).string() + "/" + name;
            };
            renames.emplace_back(path(fromFolder, from), path(toFolder, to));
            return FileOps::renameat(fromFolder, from, toFolder, to);
        }
    } ops;
    ScopedFileOps scoped(ops);
    host.saveFiles = {target};
    SaveOutcome outcome = save();
    std::filesystem::current_path(cwd);

    EXPECT_EQ(outcome, SaveOutcome::Written);
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(ops.renames.size(), 1u);
    // A temporary name of this run's own beside the target.
    EXPECT_TRUE(ops.renames[0].first.starts_with(ops.renames[0].second + "."));
    EXPECT_TRUE(ops.renames[0].first.ends_with(kTempSuffix));
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(std::filesystem::weakly_canonical(ops.renames[0].second),
              std::filesystem::canonical(dir.file(c.sourceCleaned ? "in.txt" : "hard.txt")));
    std::filesystem::current_path(cwd);
    // The window's status says what was dropped and where the file went.
    EXPECT_TRUE(host.status().starts_with(text::kSaveDone)) << host.status();
    EXPECT_TRUE(host.status().ends_with(" " + target)) << host.status();
    EXPECT_EQ(settings.lastSavedFile, target);
    EXPECT_EQ(readFile(dir.file(target)), kCleaned);
    EXPECT_EQ(readFile(source), c.sourceCleaned ? kCleaned : kInput);
    EXPECT_TRUE(strayTemporaries().empty());
    struct stat st {};
    if (::lstat(dir.file("link.txt").c_str(), &st) == 0) {
        EXPECT_TRUE(S_ISLNK(st.st_mode));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Save, SameFile,
    ::testing::Values(SpellingCase{"same_string", [](testing::TempDir& d) { return d.file("in.txt"); }, true},
                      SpellingCase{"relative", [](testing::TempDir&) { return std::string("in.txt"); }, true},
                      SpellingCase{"dot_dot",
                                   [](testing::TempDir& d) {
                                       ::mkdir(d.file("sub").c_str(), 0755);
                                       return d.file("sub/../in.txt");
                                   },
                                   true},
                      SpellingCase{"symlink",
                                   [](testing::TempDir& d) {
                                       EXPECT_EQ(::symlink("in.txt", d.file("link.txt").c_str()), 0);
                                       return d.file("link.txt");
                                   },
                                   true},
                      SpellingCase{"hard_link",
                                   [](testing::TempDir& d) {
                                       EXPECT_EQ(::link(d.file("in.txt").c_str(), d.file("hard.txt").c_str()), 0);
                                       return d.file("hard.txt");
                                   },
                                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, ScannedThroughASymlinkKeepsTheLink)
{
    dir.write("real.txt", kInput);
    ASSERT_EQ(::symlink("real.txt", dir.file("in.txt").c_str()), 0);
    source = dir.file("in.txt");
    scanFile(source);
    selectLines({3});
    EXPECT_EQ(saveTo(source), SaveOutcome::Written);
    struct stat st {};
    ASSERT_EQ(::lstat(source.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(dir.file("real.txt")), kCleaned);
}

TEST_F(SaveTest, InPlaceSaveKeepsTheModeAndMakesTheNextSaveStop)
{
    source = dir.write("in.txt", kInput);
    ASSERT_EQ(::chmod(source.c_str(), 0640), 0);
    scanFile(source);
    selectLines({3});
    struct stat scanned {};
    ASSERT_EQ(::stat(source.c_str(), &scanned), 0);
    host.saveFiles = {source, source};
    ASSERT_EQ(save(), SaveOutcome::Written);
    struct stat st {};
    ASSERT_EQ(::stat(source.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(source), kCleaned);

    // Even when the cleaned file carries the same second, the old line
    // numbers must not be applied to it.
    struct timeval tv[2] = {{scanned.st_atime, 0}, {scanned.st_mtime, 0}};
    ASSERT_EQ(::utimes(source.c_str(), tv), 0);
    EXPECT_EQ(save(), SaveOutcome::SourceChanged);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "来源文件已被更改！取消保存...\n" + source);
    EXPECT_EQ(readFile(source), kCleaned);
}

TEST_F(SaveTest, ModesOfNewAndReplacedTargets)
{
    scan(kInput);
    selectLines({3});
    std::string existing = dir.write("existing.txt", "old\n");
    ASSERT_EQ(::chmod(existing.c_str(), 0600), 0);
    ASSERT_EQ(saveTo(existing), SaveOutcome::Written);
    struct stat st {};
    ASSERT_EQ(::stat(existing.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(readFile(existing), kCleaned);

    mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(saveTo(dir.file("new.txt")), SaveOutcome::Written);
    ASSERT_EQ(::stat(dir.file("new.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
}

struct TargetCase {
    const char* name;
    std::function<std::string(testing::TempDir&)> make;
    std::string reason;  // after the target's name
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class UnwritableTarget : public SaveTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(UnwritableTarget, ReportsAndWritesNothing)
{
    scan(kInput);
    selectLines({3});
    std::string target = GetParam().make(dir);
    EXPECT_EQ(saveTo(target), SaveOutcome::TargetUnwritable);
    EXPECT_EQ(host.status(), std::string(text::kTargetUnwritable) + " " + target + ": " + GetParam().reason);
    EXPECT_EQ(last.file, target);
    EXPECT_EQ(readFile(source), kInput);
    EXPECT_TRUE(strayTemporaries().empty());
    EXPECT_EQ(settings.counters.dupsDeleted, 0);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Save, UnwritableTarget,
    ::testing::Values(TargetCase{"directory",
                                 [](testing::TempDir& d) {
                                     ::mkdir(d.file("folder").c_str(), 0755);
                                     return d.file("folder");
                                 },
                                 std::strerror(EISDIR)},
                      TargetCase{"fifo_nobody_reads",
                                 [](testing::TempDir& d) {
                                     ::mkfifo(d.file("pipe").c_str(), 0644);
                                     return d.file("pipe");
                                 },
                                 std::strerror(ENXIO)},
                      TargetCase{"missing_folder", [](testing::TempDir& d) { return d.file("nowhere/out.txt"); },
                                 std::strerror(ENOENT)},
                      TargetCase{"name_too_long",
                                 [](testing::TempDir& d) { return d.file(std::string(NAME_MAX + 1, 'n')); },
                                 std::strerror(ENAMETOOLONG)},
                      TargetCase{"dangling_symlink",
                                 [](testing::TempDir& d) {
                                     EXPECT_EQ(::symlink("absent.txt", d.file("dangling").c_str()), 0);
                                     return d.file("dangling");
                                 },
                                 std::strerror(ENOENT)}),
    [](const auto& info) { return std::string(info.param.name); });

// Files that look like temporary files belong to someone else: another run
// still writing, a crashed one, or the user. None is followed or removed.
TEST_F(SaveTest, OtherTemporaryFilesAreLeftAlone)
{
    scan(kInput, "x.txt.quillowtemp");
    selectLines({3});
    std::string victim = dir.write("victim.txt", "keep me\n");
    ASSERT_EQ(::symlink(victim.c_str(), dir.file("out.txt.quillowtemp").c_str()), 0);
    dir.write("out.txt.Ab12Cd34.quillowtemp", "another run's output\n");
    EXPECT_EQ(saveTo(dir.file("x.txt")), SaveOutcome::Written);
    EXPECT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);
    EXPECT_EQ(readFile(source), kInput);
    EXPECT_EQ(readFile(dir.file("x.txt")), kCleaned);
    EXPECT_EQ(readFile(dir.file("out.txt")), kCleaned);
    EXPECT_EQ(readFile(victim), "keep me\n");
    EXPECT_EQ(readFile(dir.file("out.txt.Ab12Cd34.quillowtemp")), "another run's output\n");
    std::vector<std::string> left = strayTemporaries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"out.txt.Ab12Cd34.quillowtemp", "out.txt.quillowtemp",
                                              "x.txt.quillowtemp"}));
}

// Where the file system makes no unnamed files, the save names its file
// from the start and first removes what killed runs of the same target
// (this user's) left more than a day ago; nothing else.
TEST_F(SaveTest, WithoutUnnamedFilesStaleTemporariesOfTheTargetGo)
{
    scan(kInput);
    selectLines({3});
    struct NoUnnamedFiles : FileOps {
        int openat(int folder, const char* path, int flags, mode_t mode) override
        {
            if ((flags & O_TMPFILE) == O_TMPFILE) {
                errno = EOPNOTSUPP;
                return -1;
            }
            return FileOps::openat(folder, path, flags, mode);
        }
    } ops;
    const struct {
        const char* name;
        bool stale;
        bool goes;
    } rows[] = {
        {"out.txt.Ab12Cd.quillowtemp", true, true},
        {"out.txt.Ab12Cd34.quillowtemp", true, true},
        {"out.txt.Zz99Yy.quillowtemp", false, false},     // a run still writing
        {"other.txt.Ab12Cd.quillowtemp", true, false},    // another target's
        {"out.txt.quillowtemp", true, false},             // not one of ours
        {"out.txt.Ab-2Cd.quillowtemp", true, false},
    };
    const timespec twoDaysAgo[2] = {{::time(nullptr) - 2 * 86400, 0}, {::time(nullptr) - 2 * 86400, 0}};
    for (const auto& row : rows) {
        dir.write(row.name, "left by a killed run\n");
        if (row.stale) {
            ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(row.name).c_str(), twoDaysAgo, 0), 0);
        }
    }
    {
        ScopedFileOps scoped(ops);
        ASSERT_EQ(saveTo(dir.file("out.txt")), SaveOutcome::Written);
    }
    EXPECT_EQ(readFile(dir.file("out.txt")), kCleaned);
    for (const auto& row : rows)
        EXPECT_EQ(std::filesystem::exists(dir.file(row.name)), !row.goes) << row.name;
    EXPECT_EQ(strayTemporaries().size(), 4u);
}

// The disk takes long to flush the file and a stop comes meanwhile: the save
// ends at once, and the file never takes the target's place.
TEST_F(SaveTest, AStopWhileTheDiskFlushesMeansNoRename)
{
    scan(kInput);
    selectLines({3});
    const std::string target = dir.write("out.txt", "previous target\n");
    struct SlowDisk : FileOps {
        std::atomic<bool> flushing{false}, released{false}, done{false};
        int fsync(int fd) override
        {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
                flushing = true;
                while (!released)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                done = true;
            }
            return FileOps::fsync(fd);
        }
    } ops;
    host.onCheckIn = [&] {
        if (ops.flushing && host.messages.empty())
            host.pressStop();
    };
    host.answers = {Answer::Yes};
    {
        ScopedFileOps scoped(ops);
        EXPECT_EQ(saveTo(target), SaveOutcome::Stopped);
        EXPECT_FALSE(ops.done);  // ended while the flush still waited
        ops.released = true;
        while (!ops.done)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(readFile(target), "previous target\n");
    EXPECT_EQ(host.status(), text::kSaveCancelled);
    EXPECT_TRUE(strayTemporaries().empty());
}

// Once the rename is done the target is the new file, whatever the folder's
// flush says: that is said, with the reason, and counted as written.
TEST_F(SaveTest, AFolderThatCannotBeFlushedIsSaidWithTheFileInPlace)
{
    scan(kInput);
    selectLines({3});
    const std::string target = dir.write("out.txt", "previous target\n");
    testing::FaultyOps ops;
    ops.failFolderFsync = true;
    {
        ScopedFileOps scoped(ops);
        EXPECT_EQ(saveTo(target), SaveOutcome::WrittenUnflushed);
    }
    EXPECT_EQ(readFile(target), kCleaned);
    EXPECT_EQ(host.status(), text::writtenUnflushed(target, EIO));
    EXPECT_EQ(host.status(), target + ": 已写入，但无法把所在文件夹写入磁盘: Input/output error");
    EXPECT_EQ(settings.counters.dupsDeleted, 1);
}

// The temporary name keeps the start of the target's name, whole
// characters of it, and fits the folder's limit.
TEST(TemporaryPath, FitsTheNameLimit)
{
    const std::string han = "中";  // three bytes in UTF-8
    std::string long255;
    while (long255.size() + han.size() <= 251)
        long255 += han;
    long255 += std::string(251 - long255.size(), 'x') + ".txt";
    const struct {
        const char* name;
        std::string target;
        size_t nameMax;
        std::string expected;
    } rows[] = {
        {"short name", "d/x.txt", 255, "d/x.txt.Tag12345.quillowtemp"},
        {"no folder", "x.txt", 255, "x.txt.Tag12345.quillowtemp"},
        {"cut at a character boundary", "/d/中中中.txt", 26, "/d/中.Tag12345.quillowtemp"},
        {"255 bytes", "/d/" + long255, 255, "/d/" + long255.substr(0, 234) + ".Tag12345.quillowtemp"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(temporaryPath(row.target, "Tag12345", row.nameMax), row.expected) << row.name;
}

// Any legal name saves, in place too, however long.
TEST_F(SaveTest, LongNamesSaveInPlace)
{
    for (const size_t length : {200, 234, 235, 254, 255}) {
        std::string name;
        while (name.size() + 3 + 4 <= length)
            name += "名";
        name += std::string(length - 4 - name.size(), 'n') + ".txt";
        ASSERT_EQ(name.size(), length);
        scan(kInput, name);
        selectLines({3});
        EXPECT_EQ(saveTo(source), SaveOutcome::Written) << length << ": " << host.status();
        EXPECT_EQ(readFile(source), kCleaned) << length;
        EXPECT_TRUE(strayTemporaries().empty()) << length;
    }
}

// The cleaned file comes from the bytes the scan read; when the source is no
// longer that file at the last moment, nothing is put in place.
TEST_F(SaveTest, ASourceChangedDuringTheSaveStopsIt)
{
    auto rewrite = [](const std::string& p, const std::string& bytes, std::ios::openmode mode) {
        std::ofstream(p, std::ios::binary | mode) << bytes;
    };
    struct Row {
        const char* name;
        std::function<void(const std::string&)> change;
    };
    const Row rows[] = {
        {"deleted", [](const std::string& p) { ::unlink(p.c_str()); }},
        {"appended to", [&](const std::string& p) { rewrite(p, "new line\n", std::ios::app); }},
        {"rewritten, modification time kept",
         [&](const std::string& p) {
             struct stat st {};
             ::stat(p.c_str(), &st);
             rewrite(p, "a\nb\nX\nc\n", std::ios::trunc);
             const struct timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, p.c_str(), times, 0);
         }},
    };
    for (const Row& row : rows) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (inPlace ? " in place" : ""));
            scan(kInput);
            selectLines({3});
            const std::string target = inPlace ? source : dir.file("out.txt");
            host.onCheckIn = [&] {
                if (host.status() == text::kSaveWriting) {
                    row.change(source);
                    host.onCheckIn = nullptr;
                }
            };
            EXPECT_EQ(saveTo(target), SaveOutcome::SourceChanged);
            EXPECT_EQ(host.status(), std::string(text::kSourceChanged) + " " + source);
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
            if (std::filesystem::exists(source)) {
                EXPECT_NE(readFile(source), kCleaned);  // what the other writer left is kept
            }
            EXPECT_TRUE(strayTemporaries().empty());
            expectIdle();
        }
    }
}

class WriteProtection : public SaveTest {
protected:
    uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();

    void SetUp() override { ::chmod(dir.path().c_str(), 0777); }

    void scanSource(const std::string& name = "in.txt")
    {
        scan(kInput, name);
        selectLines({3});
    }

    // A file of the user's with mode.
    std::string owned(const std::string& name, mode_t mode, uid_t uid, gid_t gid)
    {
        std::string p = dir.write(name, "protected\n");
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(p.c_str(), uid, gid), 0);
        }
        EXPECT_EQ(::chmod(p.c_str(), mode), 0);
        return p;
    }

    // Saves in the unprivileged child and describes what happened.
    std::string run(bool interactive, const std::string& target, std::optional<Answer> answer = std::nullopt)
    {
        auto r = unprivileged([&] {
            if (interactive)
                host.saveFiles = {target};
            if (answer)
                host.answers = {*answer};
            SaveOutcome o = interactive ? save() : saveTo(target);
            std::string s = std::to_string(static_cast<int>(o)) + "|" + host.status() + "|";
            for (const auto& m : host.messages)
                s += m.text + "/" + std::to_string(static_cast<int>(m.icon));
            return s;
        });
        if (!r)
            ADD_FAILURE() << "could not switch to an unprivileged user";
        return r.value_or("");
    }

    mode_t modeOf(const std::string& p)
    {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    }

    static std::string summary(SaveOutcome o, const std::string& status, const std::string& messages = "")
    {
        return std::to_string(static_cast<int>(o)) + "|" + status + "|" + messages;
    }
};

TEST_F(WriteProtection, AnsweredNoCancels)
{
    scanSource();
    std::string target = owned("ro.txt", 0444, user, group);
    EXPECT_EQ(run(true, target, Answer::No),
              summary(SaveOutcome::Cancelled, text::kSaveCancelled, std::string(kWriteProtected) + "/3"));
    EXPECT_EQ(readFile(target), "protected\n");
    EXPECT_EQ(modeOf(target), 0444u);
}

TEST_F(WriteProtection, AnsweredYesClearsItAndWrites)
{
    scanSource();
    std::string target = owned("ro.txt", 0444, user, group);
    EXPECT_EQ(run(true, target, Answer::Yes),
              summary(SaveOutcome::Written, text::saveSummary(1, target), std::string(kWriteProtected) + "/3"));
    EXPECT_EQ(readFile(target), kCleaned);
    EXPECT_EQ(modeOf(target), 0644u);
}

TEST_F(WriteProtection, UnattendedClearsItWithoutAsking)
{
    scanSource();
    std::string target = owned("ro.txt", 0444, user, group);
    EXPECT_EQ(run(false, target), summary(SaveOutcome::Written, text::kSaveDone));
    EXPECT_EQ(readFile(target), kCleaned);
}

TEST_F(WriteProtection, ProtectionThatCannotBeClearedIsNotBypassed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to create a file owned by another user";
    scanSource();
    std::string target = owned("root.txt", 0444, 0, 0);
    EXPECT_EQ(run(false, target), summary(SaveOutcome::TargetUnwritable,
                                          std::string(text::kTargetUnwritable) + " " + target + ": " +
                                              std::strerror(EACCES)));
    EXPECT_EQ(readFile(target), "protected\n");
}

TEST_F(WriteProtection, InPlaceInAReadOnlyFolderLeavesTheSource)
{
    std::filesystem::create_directory(dir.file("ro"));
    scanSource("ro/in.txt");
    const std::string inner = source;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(inner.c_str(), user, group), 0);
        ASSERT_EQ(::chown(dir.file("ro").c_str(), 0, 0), 0);
    }
    ASSERT_EQ(::chmod(dir.file("ro").c_str(), 0555), 0);
    result.identity = *identityOf(inner);
    EXPECT_EQ(run(false, inner), summary(SaveOutcome::TargetUnwritable,
                                         std::string(text::kTargetUnwritable) + " " + inner + ": " +
                                             std::strerror(EACCES)));
    EXPECT_EQ(readFile(inner), kInput);
    ::chmod(dir.file("ro").c_str(), 0755);
}

}  // namespace
}  // namespace quillow
