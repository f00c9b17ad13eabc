#pragma once
// A scanned file ready to be saved: runs the real scan on a file in a
// temporary folder, selects entries by line number, and fakes file-system
// faults through the save's FileOps seam.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "engine/io/cleaned_file_writer.h"
#include "engine/io/file_ops.h"
#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "support/recording_front_end.h"
#include "support/temp_dir.h"

namespace quillow::testing {

// The save's progress texts up to the percentage.
inline const std::string kSavePreparingPrefix = "正准备保存...             ";
inline const std::string kSaveWritingPrefix = "正保存文件...       ";

class SaveTest : public ::testing::Test, public TestSession {
public:
    TempDir dir;
    std::string source;
    SaveResult last;  // what the last save said

    // Writes name with bytes and scans it.
    void scan(const std::string& bytes, const std::string& name = "in.txt")
    {
        source = dir.write(name, bytes);
        scanFile(source);
    }
    void scanFile(const std::string& path)
    {
        openFile(session, path);
        ASSERT_EQ(result.file, path);
        host.forget();
    }

    // Selects every duplicates entry whose line number is listed.
    void selectLines(std::initializer_list<int64_t> lines)
    {
        ASSERT_TRUE(result.dups);
        for (int64_t i = 0; i < result.dups->count(); ++i)
            for (int64_t l : lines)
                if (result.dups->lineNumber(i) == l)
                    result.dups->setSelected(i, true);
    }

    // Saves through the dialogs the host answers.
    SaveOutcome save()
    {
        last = saveCleanedCopy(session);
        return last.outcome;
    }

    // Saves unattended to target (no dialogs).
    SaveOutcome saveTo(const std::string& target)
    {
        session.unattended = true;
        last = saveCleanedCopy(session, SaveTarget{target});
        return last.outcome;
    }

    // Names in the folder that a save may leave behind by mistake.
    std::vector<std::string> strayTemporaries() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().ends_with(kTempSuffix) && !e.is_directory())
                out.push_back(e.path().filename().string());
        return out;
    }

    void expectIdle() const
    {
        EXPECT_FALSE(session.busy);
        EXPECT_TRUE(host.buttons.scanVisible && host.buttons.scanEnabled);
        EXPECT_FALSE(host.buttons.stopVisible);
        EXPECT_TRUE(host.buttons.saveEnabled);
    }
};

// FileOps that fail on request; everything else goes to the system.
class FaultyOps : public FileOps {
public:
    int failWriteAt = 0;  // 1-based number of the write call that fails
    bool failFsync = false, failRename = false, failClose = false, failRead = false, failFchmod = false;
    bool noMemoryToRead = false;  // a read throws std::bad_alloc
    bool failFolderFsync = false;
    int writes = 0;

    ssize_t write(int fd, const void* buf, size_t count) override
    {
        if (++writes == failWriteAt) {
            errno = ENOSPC;
            return -1;
        }
        return FileOps::write(fd, buf, count);
    }
    ssize_t read(int fd, void* buf, size_t count) override
    {
        if (noMemoryToRead)
            throw std::bad_alloc();
        if (failRead) {
            errno = EIO;
            return -1;
        }
        return FileOps::read(fd, buf, count);
    }
    int fsync(int fd) override
    {
        struct stat st {};
        const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
        if (folder ? failFolderFsync : failFsync) {
            errno = EIO;
            return -1;
        }
        return FileOps::fsync(fd);
    }
    int fchmod(int fd, mode_t mode) override
    {
        if (failFchmod) {
            errno = EPERM;
            return -1;
        }
        return FileOps::fchmod(fd, mode);
    }
    int close(int fd) override
    {
        struct stat st {};
        bool output = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY;
        int r = FileOps::close(fd);
        if (failClose && output) {
            errno = EIO;
            return -1;
        }
        return r;
    }
    int renameat(int fromFolder, const char* from, int toFolder, const char* to) override
    {
        if (failRename) {
            errno = EXDEV;
            return -1;
        }
        return FileOps::renameat(fromFolder, from, toFolder, to);
    }
};

// "a\n" "b\n" ... : n numbered lines joined with end.
inline std::string joinLines(const std::vector<std::string>& lines, const std::string& end)
{
    std::string out;
    for (const auto& l : lines)
        out += l + end;
    return out;
}

}  // namespace quillow::testing
