#include "engine/io/cleaned_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/io/content_hash.h"
#include "engine/io/file_info.h"
#include "engine/io/file_ops.h"
#include "engine/io/gathered_bytes.h"
#include "engine/dedup/keys.h"
#include "engine/io/line_reader.h"
#include "engine/text/line_splitter.h"
#include "engine/io/replacement_file.h"
#include "engine/io/target_place.h"
#include "engine/text/text_encoder.h"
#include "engine/text/text_util.h"
#include "engine/runtime/call_unless_stopped.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// Writes go out in blocks of this size: large enough that a gigabyte costs
// a thousand calls, small enough to keep the progress and Stop responsive.
constexpr size_t kBlock = size_t{1} << 20;

ssize_t readThroughOps(int fd, void* buf, size_t count) { return fileOps().read(fd, buf, count); }

// The kept lines, in order, to a descriptor. Lines that go out as the file
// holds them are gathered in runs over the source's bytes and written from
// there; other text is copied into a block first. A write that a signal
// interrupts checks in (a stop is taken there), and nothing is written once
// the source's mapping lost pages: their zeros must not reach the output.
class Output {
public:
    // toDisk: a file that is flushed to disk at the end; its pages start
    // going there as they are written, so the final flush waits for little.
    // source: the lines in memory, when they are written from there.
    Output(int fd, bool toDisk, Work& work, const SourceLines* source)
        : fd_(fd), toDisk_(toDisk), work_(work), source_(source),
          inMemory_(source && source->inMemory() ? source->bytes() : std::string_view())
    {
    }

    // Bytes of the source buffer, which outlives the Output.
    void source(std::string_view bytes)
    {
        if (runEnd_ != bytes.data()) {
            flushRun();
            runBegin_ = bytes.data();
        }
        runEnd_ = bytes.data() + bytes.size();
        if (static_cast<size_t>(runEnd_ - runBegin_) >= kBlock)
            flushRun();
    }

    void copy(std::string_view text)
    {
        flushRun();
        if (text.size() >= kBlock) {
            flushBlock();
            return writeAll(text);
        }
        block_.append(text.data(), text.size());
        if (block_.size() >= kBlock)
            flushBlock();
    }

    // Writes out the run of source bytes gathered so far: the bytes it
    // refers to are about to change.
    void settle() { flushRun(); }

    // False (with error() or stopped()) when the output is not complete.
    bool flush()
    {
        flushRun();
        flushBlock();
        return !failed();
    }
    bool failed() const { return error_ != 0 || stopped_; }
    // The system's error, or kChangedWhileReadError.
    int error() const { return error_; }
    // A stop came while a write waited (a reader that does not read).
    bool stopped() const { return stopped_; }

private:
    void flushRun()
    {
        if (runBegin_ == runEnd_)
            return;
        const std::string_view run(runBegin_, static_cast<size_t>(runEnd_ - runBegin_));
        runBegin_ = runEnd_ = nullptr;
        if (run.size() < kBlock / 4) {  // short runs are cheaper copied together
            block_.append(run.data(), run.size(), inMemory_);
            if (block_.size() >= kBlock)
                flushBlock();
            return;
        }
        flushBlock();
        writeAll(run);
    }

    void flushBlock()
    {
        writeAll(block_.view());
        block_.clear();
    }

    void writeAll(std::string_view bytes)
    {
        while (!bytes.empty() && !failed()) {
            // Pages of a mapping the file lost read as zeros: none goes out.
            if (source_ && source_->damaged()) {
                error_ = kChangedWhileReadError;
                return;
            }
            const size_t want = std::min(bytes.size(), kBlock);
            const ssize_t n = fileOps().write(fd_, bytes.data(), want);
            // A signal ends a wait for the reader: the stop it may bring counts now.
            if ((n < 0 && errno == EINTR) || (n >= 0 && static_cast<size_t>(n) < want)) {
                if (work_.checkIn()) {
                    stopped_ = true;
                    return;
                }
                if (n < 0)
                    continue;
            }
            if (n <= 0) {
                error_ = n < 0 && errno ? errno : EIO;
                // The only memory that can fault is the source's mapping.
                if (error_ == EFAULT && source_)
                    error_ = kChangedWhileReadError;
                return;
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            written_ += static_cast<uint64_t>(n);
        }
        if (toDisk_ && written_ - started_ >= kWriteBack) {
            ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                              SYNC_FILE_RANGE_WRITE);
            started_ = written_;
        }
    }

    // Written pages are handed to the disk in steps of this size.
    static constexpr uint64_t kWriteBack = uint64_t{16} << 20;

    int fd_;
    bool toDisk_;
    Work& work_;
    const SourceLines* source_;
    const std::string_view inMemory_;  // the source's bytes in memory
    uint64_t written_ = 0, started_ = 0;
    GatheredBytes block_{kBlock + kBlock / 4 + 32};
    const char* runBegin_ = nullptr;
    const char* runEnd_ = nullptr;
    int error_ = 0;
    bool stopped_ = false;
};

class Writer {
public:
    Writer(const ScanResult& result, const Options& options, SaveTarget target, Work& work, const LineChoice& choice)
        : options_(options),
          choice_(choice),
          r_(result),
          work_(work),
          target_(std::move(target)),
          dups_(result.dups),
          source_(result.source)
    {
    }

    WriteResult run()
    {
        try {
            work();
        } catch (const std::bad_alloc&) {
            fail(WriteOutcome::OutOfMemory, {}, ENOMEM);
        } catch (const std::exception&) {
            fail(WriteOutcome::Failed, target_.path, ENOMEM);
        }
        return outcome_;
    }

private:
    enum class Step { Go, Stop };

    int64_t lastLineIndex() const { return r_.lineCount - 1; }
    bool fromMemory() const { return source_ && source_->inMemory(); }

    void fail(WriteOutcome outcome, const std::string& file, int error)
    {
        temp_.discard();
        outcome_ = WriteResult{outcome, file, error};
    }

    void stopped()
    {
        temp_.discard();
        outcome_ = WriteResult{WriteOutcome::Stopped, {}, 0};
    }

    void work()
    {
        work_.begin(Stage::PreparingSave);
        if (collect() == Step::Stop)
            return stopped();

        filter_ = filterFor(options_);
        if (filter_)
            filter_->watch([this] { return work_.check(); });
        keys_ = std::make_unique<KeysAsWritten>(keyRules(options_, filter_.get(), r_.encoding.encoding));
        if (choice_.counts)
            counter_ = std::make_unique<TextEncoder>(r_.encoding.encoding);
        work_.begin(Stage::Writing);

        // Without the line texts in memory the file is read again; it must
        // then prove to be what the scan read.
        // The fingerprint is taken by the thread that reads ahead.
        ContentHash reread;
        std::unique_ptr<LineReader> reader;
        if (!fromMemory()) {
            reader = std::make_unique<LineReader>(unit_, r_.lineEndMode, kBlock, &readThroughOps);
            reader->setReadAhead(true);
            reader->onRead = [&reread](std::string_view bytes) { reread.add(bytes); };
            if (!reader->open(r_.file))
                return fail(WriteOutcome::SourceUnreadable, r_.file, reader->error());
        }

        int fd = target_.fd;
        if (!target_.isStream()) {
            std::string culprit;
            if (const int error = openTarget(culprit))
                return fail(WriteOutcome::TargetUnwritable, culprit, error);
            fd = temp_.fd();
        }

        Output out(fd, !target_.isStream(), work_, reader ? nullptr : source_.get());
        // The byte-order mark comes first, so the copy keeps its encoding.
        out.copy(r_.encoding.mark.bytes());
        int64_t deleted = 0;
        int64_t lines = 0;
        const Step step = reader ? copyFromFile(*reader, out, deleted, lines) : copyFromMemory(out, deleted, lines);
        if (step == Step::Stop || (!out.flush() && out.stopped()))
            return stopped();
        if (out.error() == kChangedWhileReadError)
            return fail(WriteOutcome::SourceChanged, r_.file, kChangedWhileReadError);
        if (out.failed())
            return fail(WriteOutcome::Failed, target_.path, out.error());
        if (reader && reader->failed())
            return fail(WriteOutcome::SourceReadFailed, r_.file, reader->error());
        work_.sink().progress(Stage::Writing, lines - 1, lastLineIndex());
        std::vector<uint64_t>().swap(marked_);

        const bool sourceSame = (!reader || reread.value() == r_.contentHash) && !(source_ && source_->damaged());
        WriteResult written{WriteOutcome::Written, {}, 0, deleted};
        if (!target_.isStream()) {
            int error = 0;
            switch (commit(sourceSame, error)) {
            case Commit::Stopped:
                return stopped();
            case Commit::SourceChanged:
                return fail(WriteOutcome::SourceChanged, r_.file, 0);
            case Commit::Failed:
                return fail(WriteOutcome::Failed, target_.path, error);
            case Commit::Unflushed:
                written = WriteResult{WriteOutcome::WrittenUnflushed, target_.path, error, deleted};
                break;
            case Commit::Done:
                break;
            }
        } else if (!sourceSame || !sourceUnchanged()) {
            // What went out may not be what the file holds: no success.
            return fail(WriteOutcome::SourceChanged, r_.file, kChangedWhileReadError);
        }
        // The output is complete; a stop now only changes what is said.
        written.stoppedAfterWriting = work_.checkIn();
        outcome_ = written;
    }

    // The source is still the file the scan read (a stream cannot be asked).
    bool sourceUnchanged() const { return r_.fromStream || identityOf(r_.file) == r_.identity; }

    // The line numbers of the selected entries, as a bitmap.
    Step collect()
    {
        const int64_t n = dups_ ? dups_->count() - 1 : -1;
        marked_.assign((static_cast<size_t>(std::max<int64_t>(lastLineIndex(), 0)) + 2 + 63) / 64, 0);
        for (int64_t i = 0; i <= n; ++i) {
            if (dups_->isSelected(i)) {
                const auto line = static_cast<size_t>(dups_->lineNumber(i));
                if (line / 64 >= marked_.size())
                    marked_.resize(line / 64 + 1, 0);
                marked_[line / 64] |= uint64_t{1} << (line % 64);
            }
            if (work_.step(Stage::PreparingSave, i, n))
                return Step::Stop;
        }
        return Step::Go;
    }

    bool dropped(int64_t lineNo) const { return marked(lineNo) != choice_.selectedOnly; }

    bool marked(int64_t lineNo) const
    {
        const auto at = static_cast<uint64_t>(lineNo);
        return at / 64 < marked_.size() && (marked_[at / 64] >> (at % 64) & 1) != 0;
    }

    // The first line number from lineNo on that is kept, or end: runs of
    // dropped lines are passed a word of the bitmap at a time.
    int64_t nextKept(int64_t lineNo, int64_t end) const
    {
        // Lines past the bitmap are unmarked.
        const uint64_t flip = choice_.selectedOnly ? 0 : ~uint64_t{0};
        auto at = static_cast<uint64_t>(lineNo);
        while (static_cast<int64_t>(at) < end) {
            if (at / 64 >= marked_.size())
                return choice_.selectedOnly ? end : static_cast<int64_t>(at);
            const uint64_t kept = (marked_[at / 64] ^ flip) >> (at % 64);
            if (kept != 0)
                return std::min(end, static_cast<int64_t>(at + static_cast<uint64_t>(__builtin_ctzll(kept))));
            at = (at / 64 + 1) * 64;
        }
        return end;
    }

    // "%7d " for the line at index, in the file's encoding.
    void writeCount(Output& out, int64_t index)
    {
        const std::vector<GroupSize>& counts = *choice_.counts;
        while (nextCount_ < counts.size() && counts[nextCount_].line < index)
            ++nextCount_;
        const bool listed = nextCount_ < counts.size() && counts[nextCount_].line == index;
        const uint32_t n = listed ? counts[nextCount_].count : 1;
        char prefix[16];
        const int length = std::snprintf(prefix, sizeof prefix, "%7u ", n);
        out.copy(counter_->encode(std::string_view(prefix, static_cast<size_t>(length)), countBytes_));
    }

    // Writes one kept line with its line end; false when it is left out as
    // empty. inBuffer: the line lies in a buffer (ownEnd after it) that stays
    // as it is until out is settled: the source's, or the block of a reader
    // that settles out before it refills.
    bool writeLine(Output& out, int64_t index, std::string_view line, std::string_view ownEnd, bool inBuffer)
    {
        const Options& options = options_;
        if (choice_.asRead) {
            out.source(std::string_view(line.data(), line.size() + ownEnd.size()));
            return true;
        }
        if (options.saveApplyFilter)
            line = keys_->of(line);  // back in the source's encoding
        if (line.empty() && !options.saveEmptyLines)
            return false;
        if (choice_.counts)
            writeCount(out, index);
        std::string_view end = lineEndToWrite(unit_, r_.lineEndMode, ownEnd);
        if (end == ownEnd)
            end = ownEnd;  // the file's own bytes: the line goes out as it stands
        if (line.data() + line.size() == ownEnd.data() && end.data() == ownEnd.data()) {
            // As the file holds it.
            const std::string_view whole(line.data(), line.size() + end.size());
            if (inBuffer)
                out.source(whole);
            else
                out.copy(whole);
        } else {
            if (inBuffer && !options.saveApplyFilter)
                out.source(line);
            else
                out.copy(line);
            out.copy(end);
        }
        return true;
    }

    // Progress after line index; lines run through the filter may each
    // take milliseconds, so then the clock is read after every line. True
    // when the work must stop.
    bool tick(int64_t index)
    {
        if (options_.saveApplyFilter && filter_)
            return work_.report(Stage::Writing, index, lastLineIndex());
        return work_.step(Stage::Writing, index, lastLineIndex());
    }

    // The kept lines from the source in memory.
    Step copyFromMemory(Output& out, int64_t& deleted, int64_t& lines)
    {
        const int64_t count = source_->count();
        int64_t at = 0;  // lines before this one are written or dropped
        if (goOutAsHeld() && count > 1) {
            if (copyGathered(out, count - 1, deleted, lines) == Step::Stop)
                return Step::Stop;
            at = lines;
        }
        for (int64_t i = nextKept(at + 1, count + 1) - 1; i < count && !out.failed();
             i = nextKept(i + 2, count + 1) - 1) {
            deleted += i - at;  // the dropped lines before it
            if (!writeLine(out, i, source_->view(i), source_->lineEnd(i), true))
                ++deleted;
            at = lines = i + 1;
            if (tick(i))
                return Step::Stop;
        }
        if (!out.failed()) {
            deleted += count - at;
            lines = count;
        }
        return Step::Go;
    }

    // Every kept line but the last goes out with its own end, as the file
    // holds it: nothing filtered, counted or left out as empty, and no end
    // that CR mode writes as CR LF.
    bool goOutAsHeld() const
    {
        return !options_.saveApplyFilter && options_.saveEmptyLines && !choice_.counts &&
               r_.lineEndMode != LineEndMode::Cr;
    }

    // Lines [0, end) of those that go out as held, end below the line
    // count: their bytes gathered a stretch at a time, two stretches at once
    // on two cores (reading lines that lie far apart waits on memory more
    // than it works), and written in order from here.
    Step copyGathered(Output& out, int64_t end, int64_t& deleted, int64_t& lines)
    {
        constexpr int64_t kStretch = int64_t{1} << 17;
        const bool split = worthTwoCores(end, 2 * kStretch);
        std::array<GatheredBytes, 2> gathered;
        std::array<int64_t, 2> kept{};
        for (int64_t a = 0; a < end && !out.failed(); a += 2 * kStretch) {
            onTwoCores(split, [&](int part) {
                for (int s = split ? part : 0; s <= (split ? part : 1); ++s) {
                    const int64_t from = std::min(end, a + s * kStretch);
                    kept[static_cast<size_t>(s)] = gather(from, std::min(end, from + kStretch), gathered[static_cast<size_t>(s)]);
                }
            });
            for (const GatheredBytes& bytes : gathered)
                out.copy(bytes.view());
            const int64_t done = std::min(end, a + 2 * kStretch);
            deleted += done - a - kept[0] - kept[1];
            lines = done;
            if (work_.report(Stage::Writing, done - 1, lastLineIndex()))
                return Step::Stop;
        }
        return Step::Go;
    }

    // The kept lines of [from, to), to below the line count, each up to the
    // next line's start, into bytes; how many.
    int64_t gather(int64_t from, int64_t to, GatheredBytes& bytes) const
    {
        bytes.clear();
        const std::string_view all = source_->bytes();
        int64_t kept = 0;
        for (int64_t i = nextKept(from + 1, to + 1) - 1; i < to; i = nextKept(i + 2, to + 1) - 1) {
            const char* begin = source_->viewInMemory(i).data();
            bytes.append(begin, static_cast<size_t>(source_->viewInMemory(i + 1).data() - begin), all);
            ++kept;
        }
        return kept;
    }

    // The lines read again: kept lines are gathered in runs over the
    // reader's block, written out before it is refilled.
    Step copyFromFile(LineReader& reader, Output& out, int64_t& deleted, int64_t& lines)
    {
        std::string_view line, end;
        reader.beforeFill = [&out] { out.settle(); };
        Step step = Step::Go;
        for (int64_t lineNo = 1; !out.failed() && reader.next(line, &end); ++lineNo) {
            if (lineNo == 1)
                line.remove_prefix(std::min(line.size(), r_.encoding.textStart()));
            if (dropped(lineNo) || !writeLine(out, lineNo - 1, line, end, true))
                ++deleted;
            if (tick(lineNo - 1)) {
                step = Step::Stop;
                break;
            }
            lines = lineNo;
        }
        out.settle();
        reader.beforeFill = nullptr;
        return step;
    }

    // Settles where the output goes (resolved a component at a time: see
    // target_place.h) and makes the file that will take its place: 0, or
    // the reason it cannot be written (culprit: what that concerns).
    int openTarget(std::string& culprit)
    {
        if (const int error = resolveTarget(target_.path, place_, culprit))
            return error;
        culprit = target_.path;
        if (!place_.exists)
            return temp_.create(place_, 0666);
        const struct stat& st = place_.st;
        // Replacing a file the user may not write would bypass its
        // protection, unless the caller says to and may change its mode.
        if (::faccessat(place_.folder.get(), place_.name.c_str(), W_OK, AT_EACCESS) != 0) {
            const int error = errno;
            const bool mayLift = st.st_uid == ::geteuid() || ::geteuid() == 0;
            if (error != EACCES || target_.protection == WriteProtection::Honour || !mayLift)
                return error;
        }
        // Private until it has the target's owner and mode.
        if (const int error = temp_.create(place_, 0600))
            return error;
        mode_t mode = st.st_mode & 07777;
        if (target_.protection == WriteProtection::Lift)
            mode |= S_IWUSR;
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            if (fileOps().fchown(temp_.fd(), st.st_uid, st.st_gid) != 0)
                mode &= ~mode_t(S_ISUID | S_ISGID);
        }
        if (fileOps().fchmod(temp_.fd(), mode) != 0) {
            const int error = errno;
            temp_.discard();
            return error;
        }
        return 0;
    }

    enum class Commit { Done, Unflushed, Stopped, SourceChanged, Failed };

    // Makes the output durable and, when no stop came and the source is
    // still the file that was scanned, puts it in place in one step, then
    // flushes the folder. error: the system's, for Failed and Unflushed.
    Commit commit(bool sourceSame, int& error)
    {
        // On a thread of its own: a stop is seen while the disk works.
        const std::optional<int> synced = callUnlessStopped(
            [fd = temp_.fd()] { return fileOps().fsync(fd) == 0 ? 0 : errno; }, [this] { return work_.check(); });
        if (!synced)
            return Commit::Stopped;
        if ((error = *synced))
            return Commit::Failed;
        // The last looks, as late as they can be: a stop before the rename
        // means no rename; a file rewritten or grown since the scan keeps
        // what it holds now.
        if (work_.checkIn())
            return Commit::Stopped;
        if (!sourceSame || !sourceUnchanged())
            return Commit::SourceChanged;
        if ((error = temp_.replace(place_)))
            return Commit::Failed;
        // The rename reaches the disk with the folder. A folder that can be
        // searched but not read cannot be opened to be flushed.
        if (!place_.folderReadable) {
            error = EACCES;
            return Commit::Unflushed;
        }
        if (fileOps().fsync(place_.folder.get()) != 0) {
            error = errno;
            return Commit::Unflushed;
        }
        return Commit::Done;
    }

    const Options& options_;
    const LineChoice choice_;
    const ScanResult& r_;
    Work& work_;
    SaveTarget target_;
    std::shared_ptr<DupsList> dups_;
    std::shared_ptr<SourceLines> source_;
    std::unique_ptr<LineFilter> filter_;
    std::unique_ptr<KeysAsWritten> keys_;
    std::unique_ptr<TextEncoder> counter_;
    std::string countBytes_;
    size_t nextCount_ = 0;
    const CodeUnit unit_ = codeUnitOf(r_.encoding.encoding);
    std::vector<uint64_t> marked_;  // by line number: the selected entries' lines
    TargetPlace place_;
    ReplacementFile temp_;  // after place_: it refers to its folder
    WriteResult outcome_;
};

}  // namespace

WriteResult writeCleanedFile(const ScanResult& result, const Options& options, const SaveTarget& target, Work& work,
                             const LineChoice& choice)
{
    Writer writer(result, options, target, work, choice);
    return writer.run();
}

}  // namespace quillow
