#include "engine/cleaned_file_writer.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/file_ops.h"
#include "engine/keys.h"
#include "engine/line_reader.h"
#include "engine/line_splitter.h"
#include "engine/button_states.h"
#include "engine/text_util.h"
#include "engine/texts.h"
#include "engine/work_cadence.h"

namespace quillow {

namespace {

constexpr size_t kBlock = size_t{1} << 20;

ssize_t readThroughOps(int fd, void* buf, size_t count) { return fileOps().read(fd, buf, count); }

std::string parentFolder(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Writer {
public:
    Writer(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, std::string target, bool sameFile)
        : settings_(settings),
          r_(result),
          flags_(flags),
          h_(host),
          cadence_(host, flags, text::kSaveStopQuestion),
          target_(std::move(target)),
          sameFile_(sameFile),
          dups_(result.dups)
    {
    }
    ~Writer() { discardTemp(); }

    WriteOutcome run()
    {
        busy();
        WriteOutcome outcome;
        try {
            outcome = work();
        } catch (const std::exception&) {
            discardTemp();
            h_.setStatus(text::kSaveFailed);
            outcome = WriteOutcome::Failed;
        }
        idle();
        return outcome;
    }

private:
    enum class Step { Go, Stop };

    int64_t lastLineIndex() const { return r_.lineCount - 1; }

    void busy()
    {
        flags_.busy = true;
        h_.setPointer(Pointer::Busy);
        flags_.stopRequested = false;
        h_.showButtons(buttonStates(r_, flags_));
        h_.setProgressBar(0, lastLineIndex());
        h_.yield();
        cadence_.restart();
        h_.setStatus(text::kSavePreparing);
        h_.yield();
    }

    void idle()
    {
        h_.yield();
        h_.setPointer(Pointer::Normal);
        flags_.busy = false;
        h_.showButtons(buttonStates(r_, flags_));
    }

    WriteOutcome stopped()
    {
        reader_.reset();
        discardTemp();
        h_.setStatus(text::kSaveCancelled);
        return WriteOutcome::Stopped;
    }

    WriteOutcome failed()
    {
        reader_.reset();
        discardTemp();
        h_.setStatus(text::kSaveFailed);
        return WriteOutcome::Failed;
    }

    WriteOutcome work()
    {
        if (collect() == Step::Stop)
            return stopped();

        cadence_.restart();
        filter_ = filterFor(settings_.options);
        h_.setStatus(text::kSaveWriting);
        h_.yield();

        reader_ = std::make_unique<LineReader>(codeUnitOf(r_.encoding.encoding), r_.lineEndMode, kBlock, &readThroughOps);
        int src = fileOps().open(r_.file.c_str(), O_RDONLY | O_CLOEXEC, 0);
        if (src < 0) {
            h_.setStatus(text::kSourceUnreadable);
            return WriteOutcome::SourceUnreadable;
        }
        struct stat srcStat {};
        ::fstat(src, &srcStat);
        reader_->attach(src);
        if (!openTemp(srcStat)) {
            reader_.reset();
            h_.setStatus(text::kTargetUnwritable);
            return WriteOutcome::TargetUnwritable;
        }

        int64_t deleted = 0;
        int64_t lineNo = 1;
        if (copy(lineNo, deleted) == Step::Stop)
            return stopped();
        if (reader_->failed() || !flush())
            return failed();
        h_.setProgressBar(lineNo - 1, lastLineIndex());
        std::vector<bool>().swap(drop_);
        reader_.reset();
        if (!commit())
            return failed();
        forgetReplacedSource(srcStat);
        settings_.counters.dupsDeleted = addSaturating(settings_.counters.dupsDeleted, deleted);
        h_.setStatus(text::kSaveDone);
        return WriteOutcome::Written;
    }

    // The line numbers of the selected entries, as a bitmap.
    Step collect()
    {
        const int64_t n = dups_ ? dups_->count() - 1 : -1;
        drop_.assign(static_cast<size_t>(std::max<int64_t>(lastLineIndex(), 0)) + 2, false);
        for (int64_t i = 0; i <= n; ++i) {
            if (dups_->isSelected(i)) {
                size_t line = static_cast<size_t>(dups_->lineNumber(i));
                if (line >= drop_.size())
                    drop_.resize(line + 1, false);
                drop_[line] = true;
            }
            if (cadence_.step(Stage::PreparingSave, i, n))
                return Step::Stop;
        }
        return Step::Go;
    }

    Step copy(int64_t& lineNo, int64_t& deleted)
    {
        const Options& options = settings_.options;
        const bool normalise = options.saveApplyFilter;
        KeysAsWritten keys(keyRules(options, filter_.get(), r_.encoding.encoding));
        const CodeUnit unit = codeUnitOf(r_.encoding.encoding);
        out_.reserve(kBlock + 4096);
        // The byte-order mark comes first, so the copy keeps its encoding.
        out_.append(r_.encoding.mark.bytes());

        std::string_view line, end;
        while (reader_->next(line, &end)) {
            if (static_cast<uint64_t>(lineNo) < drop_.size() && drop_[static_cast<size_t>(lineNo)]) {
                ++deleted;
            } else {
                if (lineNo == 1)
                    line.remove_prefix(std::min(line.size(), r_.encoding.textStart()));
                if (normalise)
                    line = keys.of(line);
                if (line.empty() && !options.saveEmptyLines) {
                    ++deleted;
                } else {
                    out_.append(line);
                    // The line's own end in LF mode, CR LF in classic mode.
                    out_.append(lineEndToWrite(unit, r_.lineEndMode, end));
                    if (out_.size() >= kBlock && !flush())
                        return Step::Go;  // the caller sees the failure
                }
            }
            if (cadence_.step(Stage::Writing, lineNo - 1, lastLineIndex()))
                return Step::Stop;
            ++lineNo;
        }
        return Step::Go;
    }

    // Writes the buffered output; false (and writeFailed_) on any error.
    bool flush()
    {
        if (writeFailed_)
            return false;
        const char* p = out_.data();
        size_t left = out_.size();
        while (left > 0) {
            ssize_t n = fileOps().write(tmpFd_, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                writeFailed_ = true;
                return false;
            }
            p += n;
            left -= static_cast<size_t>(n);
        }
        out_.clear();
        return true;
    }

    // Settles where the output goes (symlinks resolved, so a link stays a
    // link) and creates the temporary file beside it, never following a
    // link planted at the temporary name and never removing the source.
    bool openTemp(const struct stat& srcStat)
    {
        dest_ = target_;
        if (sameFile_ && dest_.ends_with(kTempSuffix))
            dest_.resize(dest_.size() - std::string_view(kTempSuffix).size());
        if (dest_.empty())
            return false;

        struct stat st {};
        bool existing = false;
        if (::lstat(dest_.c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) {
                std::unique_ptr<char, decltype(&std::free)> real(::realpath(dest_.c_str(), nullptr), &std::free);
                if (!real || ::stat(real.get(), &st) != 0)
                    return false;  // a dangling link: nowhere sound to write
                dest_ = real.get();
            }
            if (!S_ISREG(st.st_mode))
                return false;
            // Replacing a file the user may not write would bypass its protection.
            if (::faccessat(AT_FDCWD, dest_.c_str(), W_OK, AT_EACCESS) != 0)
                return false;
            existing = true;
        } else if (errno != ENOENT) {
            return false;
        }

        temp_ = dest_ + kTempSuffix;
        struct stat old {};
        if (::lstat(temp_.c_str(), &old) == 0) {
            if (S_ISDIR(old.st_mode))
                return false;
            if (old.st_dev == srcStat.st_dev && old.st_ino == srcStat.st_ino)
                return false;
            if (existing && old.st_dev == st.st_dev && old.st_ino == st.st_ino)
                return false;
            if (fileOps().unlink(temp_.c_str()) != 0 && errno != ENOENT)
                return false;
        }
        tmpFd_ = fileOps().open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                existing ? 0600 : 0666);
        if (tmpFd_ < 0)
            return false;
        tempCreated_ = true;
        if (existing) {
            // The replacement keeps the owner (when we may set it) and the mode.
            mode_t mode = st.st_mode & 07777;
            if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
                if (fileOps().fchown(tmpFd_, st.st_uid, st.st_gid) != 0)
                    mode &= ~mode_t(S_ISUID | S_ISGID);
            }
            if (fileOps().fchmod(tmpFd_, mode) != 0) {
                discardTemp();
                return false;
            }
        }
        return true;
    }

    // Makes the output durable and puts it in place in one step.
    bool commit()
    {
        if (fileOps().fsync(tmpFd_) != 0)
            return false;
        int fd = tmpFd_;
        tmpFd_ = -1;
        if (fileOps().close(fd) != 0)
            return false;
        if (fileOps().rename(temp_.c_str(), dest_.c_str()) != 0)
            return false;
        tempCreated_ = false;
        // The rename is done; syncing the folder only makes it durable sooner.
        int dir = fileOps().open(parentFolder(dest_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (dir >= 0) {
            fileOps().fsync(dir);
            fileOps().close(dir);
        }
        return true;
    }

    // When the save replaced the scanned file, the scan's line numbers no
    // longer describe it; make the next save's unchanged-source check fail
    // even within the same second.
    void forgetReplacedSource(const struct stat& srcStat)
    {
        struct stat now {};
        if (::stat(r_.file.c_str(), &now) != 0 || now.st_dev != srcStat.st_dev || now.st_ino != srcStat.st_ino)
            r_.fileModified = INT64_MIN;
    }

    void discardTemp()
    {
        if (tmpFd_ >= 0) {
            fileOps().close(tmpFd_);
            tmpFd_ = -1;
        }
        if (tempCreated_) {
            fileOps().unlink(temp_.c_str());
            tempCreated_ = false;
        }
    }

    Settings& settings_;
    ScanResult& r_;
    RunFlags& flags_;
    Host& h_;
    WorkCadence cadence_;
    std::string target_;
    bool sameFile_;
    std::shared_ptr<DupsList> dups_;
    std::unique_ptr<LineFilter> filter_;
    std::vector<bool> drop_;
    std::unique_ptr<LineReader> reader_;
    std::string dest_, temp_, out_;
    int tmpFd_ = -1;
    bool tempCreated_ = false;
    bool writeFailed_ = false;
};

}  // namespace

WriteOutcome writeCleanedFile(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                              const std::string& target, bool sameFile)
{
    Writer writer(settings, result, flags, host, target, sameFile);
    return writer.run();
}

}  // namespace quillow
