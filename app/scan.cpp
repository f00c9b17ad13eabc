#include "app/scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <new>
#include <stdexcept>

#include "app/button_states.h"
#include "engine/io/content_hash.h"
#include "engine/dedup/duplicate_finder.h"
#include "app/file_filter.h"
#include "engine/io/file_info.h"
#include "engine/dedup/keys.h"
#include "engine/text/line_splitter.h"
#include "engine/work/memory_limit.h"
#include "engine/io/read_whole_file.h"
#include "engine/io/spill_file.h"
#include "engine/dedup/spilled_scan.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"
#include "app/texts.h"
#include "engine/work/two_cores.h"
#include "engine/work/work_cadence.h"

namespace quillow {

namespace {

// What a scan in memory takes per line beside the file's bytes: the source
// list's record (12 bytes), the partitions (8), and the duplicates list as
// it is filled (20 an entry), with room for a share of duplicates up to
// two in three when it is sorted. Keys a filter made are kept per line.
constexpr int64_t kMemoryPerLine = 40;
constexpr int64_t kMemoryPerFilteredLine = 12;

class Scan {
public:
    Scan(Settings& settings, ScanResult& result, RunFlags& flags, Host& host)
        : settings_(settings), r_(result), flags_(flags), h_(host), cadence_(host, flags, text::kScanStopQuestion)
    {
    }
    ScanOutcome run(std::string file);
    ScanOutcome runStream(int fd, const std::string& name);

private:
    // Reads through read and scans; name stands for the source in failures.
    ScanOutcome load(const std::string& name, const std::function<std::optional<FileBytes>()>& read);
    // The scan in memory; nothing when the file turns out not to fit.
    std::optional<ScanOutcome> scanInMemory(const std::function<std::optional<FileBytes>()>& read);
    ScanOutcome scanOnDisk(const std::string& file);
    bool chooseFile(std::string& file);
    void checkFile(const std::string& file);
    // False (and nothing done) when the lines and their index would not fit.
    bool loadLines(FileBytes& bytes);
    void findDuplicates();
    void finish();
    void interrupted();
    void failed(const std::string& status);
    // The results cannot stand: the save must not take the file for scanned.
    void discard(bool dropLists);
    void showButtons(bool stopEnabled = true);

    Settings& settings_;
    ScanResult& r_;
    RunFlags& flags_;
    Host& h_;
    WorkCadence cadence_;
    std::shared_ptr<SourceLines> src_;
    std::shared_ptr<DupsList> dups_;
    int64_t lineCount_ = 0;
    int64_t groupCount_ = 0;
    bool stopped_ = false;
    // A file (not a stream) may be scanned through a temporary file when it
    // does not fit in memory_.
    bool mayUseDisk_ = false;
    int64_t fileSize_ = 0;
    int64_t memory_ = 0;
    // A stream read up to memory_ (streamComplete_: to its end); what was
    // read of one that does not fit waits in pending_ to be spooled.
    int streamFd_ = -1;
    bool streamComplete_ = true;
    std::optional<FileBytes> pending_;
};

void Scan::showButtons(bool stopEnabled)
{
    ButtonStates b = buttonStates(r_, flags_);
    b.stopEnabled = b.stopEnabled && stopEnabled;
    h_.showButtons(b);
}

bool Scan::chooseFile(std::string& file)
{
    if (file.empty() && !flags_.unattended) {
        FileDialogRequest request = textFileDialog(settings_.lastLoadedFile);
        request.mustExist = true;
        if (h_.chooseOpenFile(request))
            file = request.fileName;
    }
    return !file.empty();
}

void Scan::checkFile(const std::string& file)
{
    // Looked at, not opened: a FIFO or a device is refused before anything
    // could block on it or consume it.
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        throw ReadError{text::kCannotOpen, errno};
    if (!S_ISREG(st.st_mode))
        throw ReadError{text::kCannotOpen, kNotRegularError};
    if (st.st_size == 0)
        throw ReadError{text::kFileEmpty};
    // A file we may not read fails here rather than halfway through.
    if (::access(file.c_str(), R_OK) != 0)
        throw ReadError{text::kCannotOpen, errno};
    fileSize_ = st.st_size;
    settings_.lastLoadedFile = file;
    h_.setCaption(text::productVersion(flags_.debugMode) + " - " + file);
    r_.file = file;
    r_.fromStream = false;
}

bool Scan::loadLines(FileBytes& bytes)
{
    const std::string_view all(bytes.data(), bytes.size());
    const bool parallel = worthTwoCores(static_cast<int64_t>(all.size()), kTwoCoresFromBytes);
    EncodingChoice choice = chooseEncoding(settings_.options.textEncoding, all, parallel);
    if (!choice.source)
        throw EncodingRefusal{choice.error};
    const SourceEncoding& source = *choice.source;
    const CodeUnit unit = codeUnitOf(source.encoding);
    // Count first, so the line records are allocated once.
    const LineLayout layout = layOutLines(all.substr(source.textStart()), unit, parallel);
    const int64_t perLine = kMemoryPerLine + (settings_.options.filterPattern.empty() ? 0 : kMemoryPerFilteredLine);
    if (mayUseDisk_ && static_cast<int64_t>(all.size()) + layout.total * perLine > memory_)
        return false;
    if (layout.total > INT32_MAX)
        throw ReadError{text::kFileError};
    lineCount_ = layout.total;
    r_.onDisk = false;

    r_.bigFile = lineCount_ >= kBigFileLines;
    flags_.stopRequested = false;
    r_.ready = false;
    showButtons();
    h_.yield();
    // The byte-order mark is not part of the first line; the save writes it back.
    r_.encoding = source;
    r_.lineEndMode = layout.mode;
    r_.lineCount = lineCount_;
    src_ = std::make_shared<SourceLines>(std::move(bytes), source.textStart(), unit);
    dups_ = std::make_shared<DupsList>(src_, digitCount(lineCount_));
    r_.source = src_;
    r_.dups = dups_;
    h_.listsChanged();
    if (r_.bigFile)
        h_.yield();
    h_.setProgressBar(0, lineCount_);

    // The lines are recorded at once (at memory speed), then the progress
    // rhythm runs over them.
    src_->addAllLines(layout, parallel);
    cadence_.restart();
    if (cadence_.steps(Stage::Loading, 1, lineCount_, lineCount_)) {
        stopped_ = true;
        return true;
    }
    h_.setStatus(text::translated(text::kLoaded));
    h_.listsChanged();
    return true;
}

void Scan::findDuplicates()
{
    const Options& options = settings_.options;
    r_.memoryPreserved = r_.bigFile && options.preserveMemory;
    h_.setStatus(text::translated(text::kFinding));
    h_.setProgressBar(0, lineCount_);
    groupCount_ = 0;
    r_.caseSensitive = options.caseSensitive;
    r_.trimLines = options.trimLines;
    r_.compatForms = options.compatForms;
    const std::unique_ptr<LineFilter> filter = filterFor(options);
    {
        DuplicateFinder finder(*src_, keyRules(options, filter.get(), r_.encoding.encoding), *dups_);
        // Lines are compared a range at a time; the progress rhythm then runs
        // over the range's lines as if they had been compared one by one. A
        // range whose keys take long (a slow filter) is cut short, and Stop
        // is asked about at once.
        constexpr int64_t kRange = 1 << 16;
        constexpr auto kSlice = std::chrono::milliseconds(20);
        for (int64_t begin = 0; begin < lineCount_ && !stopped_;) {
            const int64_t rangeEnd = std::min(begin + kRange, lineCount_);
            const int64_t end = finder.process(begin, rangeEnd, kSlice);
            stopped_ = cadence_.steps(Stage::Finding, begin, end - 1, lineCount_);
            if (end < rangeEnd && !stopped_)
                stopped_ = cadence_.poll();
            begin = end;
        }
        if (stopped_)
            return;
        // Grouping and listing: Stop is asked about between slices.
        while (!finder.finish(kSlice)) {
            if (cadence_.poll()) {
                stopped_ = true;
                return;
            }
        }
        groupCount_ = finder.groupCount();
        // The last stage starts before the finder is released, which takes a moment.
        h_.setStatus(text::translated(text::kFinishing));
        h_.setPointer(Pointer::Wait);
        h_.setProgressBar(lineCount_, lineCount_);
        showButtons(false);
        h_.yield();
    }
}

void Scan::finish()
{
    if (r_.memoryPreserved) {
        ContentHash hash;
        hash.add(src_->bytes());
        r_.contentHash = hash.value();
        dups_->detachKeys();
        src_->release();
    }
    const int64_t entries = dups_->count();
    if (entries > 0) {
        h_.setStatus(text::translated(text::kSorting));
        h_.yield();
    }
    dups_->sort();
    if (entries > 0 && !r_.bigFile) {
        h_.setStatus(text::translated(text::kShowingList));
        h_.yield();
    }
    h_.setStatus(entries > 0 ? text::scanSummary(lineCount_, entries, groupCount_)
                             : text::translated(text::kNoDuplicates));
    h_.setProgressBar(lineCount_, lineCount_);

    UsageCounters& c = settings_.counters;
    c.filesOpened = addSaturating(c.filesOpened, 1);
    c.linesScanned = addSaturating(c.linesScanned, lineCount_);
    c.dupsFound = addSaturating(c.dupsFound, entries);
    c.uniqueDupsFound = addSaturating(c.uniqueDupsFound, groupCount_);

    r_.ready = entries > 0;
    flags_.busy = false;
    h_.listsChanged();
    h_.setPointer(Pointer::Normal);
    showButtons();
}

void Scan::interrupted()
{
    h_.setStatus(text::scanInterrupted(dups_ ? dups_->count() : 0));
    r_.file.clear();
    r_.ready = false;
    h_.setProgressBar(lineCount_, lineCount_);
    h_.yield();
    h_.setPointer(Pointer::Normal);
    flags_.busy = false;
    h_.listsChanged();
    showButtons();
}

void Scan::discard(bool dropLists)
{
    r_.file.clear();
    r_.ready = false;
    if (dropLists) {
        r_.source.reset();
        r_.dups.reset();
        r_.spooledInput.reset();
        h_.listsChanged();
    }
}

void Scan::failed(const std::string& status)
{
    if (!status.empty())
        h_.setStatus(status);
    h_.yield();
    h_.setProgressBar(lineCount_, lineCount_);
    h_.setPointer(Pointer::Normal);
    flags_.busy = false;
    showButtons();
}

ScanOutcome Scan::run(std::string file)
{
    if (!chooseFile(file))
        return ScanOutcome::NoFile;
    flags_.busy = true;
    try {
        checkFile(file);
    } catch (const ReadError& e) {
        if (e.status == text::kFileEmpty) {
            failed(text::translated(e.status));
            return ScanOutcome::EmptyFile;
        }
        failed(text::failureStatus(e.status, file, e.error));
        return ScanOutcome::Failed;
    }

    mayUseDisk_ = true;
    memory_ = memoryLimit(settings_.options.maxMemory);
    return load(file, [&] { return std::optional(readWholeFile(file, &r_.identity)); });
}

ScanOutcome Scan::runStream(int fd, const std::string& name)
{
    flags_.busy = true;
    r_.file.clear();
    r_.identity = {};
    r_.fromStream = true;
    h_.setCaption(text::productVersion(flags_.debugMode) + " - " + name);
    mayUseDisk_ = true;
    memory_ = memoryLimit(settings_.options.maxMemory);
    streamFd_ = fd;
    return load(name, [&] {
        std::optional<BigVector<char>> bytes = readWholeStream(
            fd,
            [&] {
                h_.yield();
                return cadence_.stopConfirmed();
            },
            static_cast<size_t>(memory_), &streamComplete_);
        return bytes ? std::optional(FileBytes(std::move(*bytes))) : std::nullopt;
    });
}

ScanOutcome Scan::load(const std::string& name, const std::function<std::optional<FileBytes>()>& read)
{
    showButtons(false);
    h_.setPointer(Pointer::Busy);
    h_.setStatus(text::translated(text::kLoading));
    h_.yield();
    r_.spooledInput.reset();

    try {
        // A name that is no encoding fails before the file is read.
        const std::string& setting = settings_.options.textEncoding;
        if (!isAutoEncoding(setting))
            if (EncodingLookup named = encodingNamed(setting); !named.encoding)
                throw EncodingRefusal{named.error};
        // A file bigger than the memory is not even read into it; one that
        // runs out of memory after all goes to the disk too.
        if (!mayUseDisk_ || fileSize_ <= memory_) {
            try {
                if (std::optional<ScanOutcome> outcome = scanInMemory(read))
                    return *outcome;
            } catch (const std::bad_alloc&) {
                // A stream cannot be read again: what it lost stays lost.
                if (!mayUseDisk_ || streamFd_ >= 0)
                    throw;
            }
        }
        return scanOnDisk(name);
    } catch (const ReadError& e) {
        // The file went away or failed to read after the checks.
        discard(false);
        failed(text::failureStatus(e.status, name, e.error));
    } catch (const SpillError& e) {
        discard(true);
        failed(text::failureStatus(text::kSpillFailed, e.folder, e.error));
    } catch (const EncodingRefusal& e) {
        discard(false);
        failed(e.status);
    } catch (const std::bad_alloc&) {
        discard(true);
        failed(text::failureStatus(text::kOutOfMemory, name, 0));
    } catch (const std::length_error&) {
        discard(false);
        failed(text::failureStatus(text::kFileError, name, 0));
    }
    return ScanOutcome::Failed;
}

std::optional<ScanOutcome> Scan::scanInMemory(const std::function<std::optional<FileBytes>()>& read)
{
    std::optional<FileBytes> bytes = read();
    if (!bytes) {
        interrupted();
        return ScanOutcome::Stopped;
    }
    if (!streamComplete_) {
        pending_ = std::move(bytes);
        return std::nullopt;
    }
    if (bytes->empty()) {
        failed(text::translated(text::kFileEmpty));
        return ScanOutcome::EmptyFile;
    }
    if (!loadLines(*bytes)) {
        if (streamFd_ >= 0)
            pending_ = std::move(bytes);
        return std::nullopt;
    }
    if (!stopped_)
        findDuplicates();
    if (stopped_) {
        interrupted();
        return ScanOutcome::Stopped;
    }
    // A mapped file that shrank meanwhile was read in part as zeros.
    if (src_->damaged())
        throw ReadError{text::kFileError};
    finish();
    return ScanOutcome::Completed;
}

ScanOutcome Scan::scanOnDisk(const std::string& file)
{
    flags_.stopRequested = false;
    r_.ready = false;
    r_.onDisk = true;
    r_.memoryPreserved = false;
    src_.reset();
    dups_.reset();
    r_.source.reset();
    r_.dups.reset();
    h_.listsChanged();
    showButtons();
    h_.yield();

    // A stream is copied to a temporary file first: the scan reads twice.
    std::string path = file;
    if (streamFd_ >= 0) {
        h_.setStatus(text::translated(text::kFindingOnDisk));
        auto spool = std::make_shared<SpillFile>();
        const std::string_view head = pending_ ? std::string_view(pending_->data(), pending_->size()) : std::string_view();
        const bool copied = spoolStream(head, streamFd_, *spool, [&] {
            h_.yield();
            return cadence_.stopConfirmed();
        });
        pending_.reset();
        if (!copied) {
            interrupted();
            return ScanOutcome::Stopped;
        }
        path = spool->path();
        r_.spooledInput = std::move(spool);
    }

    const Options& options = settings_.options;
    SpilledScanResult spilled;
    if (!runSpilledScan(path, options, memory_, h_, cadence_, spilled)) {
        r_.spooledInput.reset();
        interrupted();
        return ScanOutcome::Stopped;
    }
    r_.identity = spilled.identity;
    if (r_.spooledInput)
        r_.file = path;  // read again by the save
    r_.encoding = spilled.encoding;
    r_.lineEndMode = spilled.mode;
    r_.lineCount = lineCount_ = spilled.lines;
    r_.bigFile = lineCount_ >= kBigFileLines;
    // The save reads the file again and holds it to what was scanned.
    r_.contentHash = spilled.contentHash;
    r_.caseSensitive = options.caseSensitive;
    r_.trimLines = options.trimLines;
    r_.compatForms = options.compatForms;
    src_ = spilled.source;
    dups_ = spilled.dups;
    r_.source = src_;
    r_.dups = dups_;
    groupCount_ = spilled.groups;
    h_.setStatus(text::translated(text::kFinishing));
    h_.setPointer(Pointer::Wait);
    h_.setProgressBar(lineCount_, lineCount_);
    showButtons(false);
    h_.yield();
    finish();
    return ScanOutcome::Completed;
}

}  // namespace

ScanOutcome runScan(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, std::string file)
{
    return Scan(settings, result, flags, host).run(std::move(file));
}

ScanOutcome runScanOfStream(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, int fd,
                            const std::string& name)
{
    return Scan(settings, result, flags, host).runStream(fd, name);
}

}  // namespace quillow
