#include "engine/dedup/scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>

#include "engine/dedup/duplicate_finder.h"
#include "engine/dedup/keys.h"
#include "engine/dedup/spilled_scan.h"
#include "engine/io/content_hash.h"
#include "engine/io/file_info.h"
#include "engine/io/spill_file.h"
#include "engine/text/line_splitter.h"
#include "engine/text/text_util.h"
#include "engine/runtime/memory_limit.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// What a scan in memory takes per line beside the file's bytes: the source
// list's record (12 bytes), the partitions (8), and the duplicates list as
// it is filled (20 an entry), with room for a share of duplicates up to
// two in three when it is sorted. Keys a filter made are kept per line.
constexpr int64_t kMemoryPerLine = 40;
constexpr int64_t kMemoryPerFilteredLine = 12;

using ReadBytes = std::function<std::optional<FileBytes>()>;

class Scan {
public:
    Scan(const Options& options, Work& work) : options_(options), work_(work) {}

    Scanned file(const std::string& path);
    Scanned stream(int fd, const std::string& name);

private:
    // Reports progress while a stream is read or copied: have bytes are in.
    void streamRead(size_t have);
    Scanned load(const std::string& name, const ReadBytes& read);
    // The scan in memory; nothing when the input turns out not to fit.
    std::optional<ScanStatus> scanInMemory(const ReadBytes& read);
    ScanStatus scanOnDisk(const std::string& file);
    // False (and nothing done) when the lines and their index would not fit.
    bool loadLines(FileBytes& bytes);
    void findDuplicates();
    // Sorts the duplicates list; false when stopped.
    bool finish();
    Scanned end(ScanStatus status);
    Scanned fail(ScanFailure failure);

    const Options& options_;
    Work& work_;
    ScanResult r_;
    std::shared_ptr<SourceLines> src_;
    std::shared_ptr<DupsList> dups_;
    std::unique_ptr<DuplicateFinder> finder_;
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

Scanned Scan::file(const std::string& path)
{
    struct stat st {};
    fileSize_ = ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
    r_.file = path;
    r_.fromStream = false;
    mayUseDisk_ = true;
    memory_ = memoryLimit(options_.maxMemory);
    if (fileSize_ == 0) {
        // A file that tells no size (/proc, /sys) holds what reading it
        // gives, which may differ the next time: read as a stream.
        int error = 0;
        const int fd = openRegularFile(path, error);
        if (fd < 0) {
            ScanFailure failure;
            failure.read = ReadFailure::CannotOpen;
            failure.file = path;
            failure.error = error;
            return fail(std::move(failure));
        }
        Scanned scanned = stream(fd, path);
        ::close(fd);
        if (scanned.status == ScanStatus::Completed)
            scanned.result.file = path;
        return scanned;
    }
    return load(path, [&] { return std::optional(readWholeFile(path, &r_.identity)); });
}

Scanned Scan::stream(int fd, const std::string& name)
{
    r_.fromStream = true;
    mayUseDisk_ = true;
    memory_ = memoryLimit(options_.maxMemory);
    streamFd_ = fd;
    // A file given as standard input has a length: the rest from where it stands.
    if (struct stat st {}; ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        fileSize_ = std::max<int64_t>(0, st.st_size - std::max<int64_t>(0, ::lseek(fd, 0, SEEK_CUR)));
    return load(name, [&] {
        std::optional<BigVector<char>> bytes =
            readWholeStream(fd, [&] { return work_.check(); }, static_cast<size_t>(memory_), &streamComplete_,
                            [&](size_t have) { streamRead(have); });
        return bytes ? std::optional(FileBytes(std::move(*bytes))) : std::nullopt;
    });
}

void Scan::streamRead(size_t have)
{
    // A pipe's length is unknown: the share read of what is known to come at
    // least, have and the memory's worth more, which moves all the way.
    const auto done = static_cast<int64_t>(have);
    work_.report(Stage::Loading, done, fileSize_ > 0 ? fileSize_ : done + memory_);
}

Scanned Scan::load(const std::string& name, const ReadBytes& read)
{
    work_.begin(Stage::Loading);
    ScanFailure failure;
    failure.file = name;
    try {
        // A name that is no encoding fails before the file is read.
        const std::string& setting = options_.textEncoding;
        if (!isAutoEncoding(setting))
            if (EncodingLookup named = encodingNamed(setting); !named.encoding)
                throw named.refusal;
        // A file bigger than the memory is not even read into it; one that
        // runs out of memory after all goes to the disk too.
        if (!mayUseDisk_ || fileSize_ <= memory_) {
            try {
                if (std::optional<ScanStatus> status = scanInMemory(read))
                    return end(*status);
            } catch (const std::bad_alloc&) {
                // A stream cannot be read again: what it lost stays lost.
                if (!mayUseDisk_ || streamFd_ >= 0)
                    throw;
            }
        }
        return end(scanOnDisk(name));
    } catch (const ReadError& e) {
        failure.read = e.kind;
        failure.error = e.error;
    } catch (const SpillError& e) {
        failure.kind = e.reading ? ScanFailure::Kind::SpillRead : ScanFailure::Kind::Spill;
        failure.file = e.folder;
        failure.error = e.error;
    } catch (const EncodingRefusal& e) {
        failure.kind = ScanFailure::Kind::Encoding;
        failure.encoding = e;
    } catch (const std::bad_alloc&) {
        failure.kind = ScanFailure::Kind::OutOfMemory;
    } catch (const std::length_error&) {
        failure.read = ReadFailure::FileError;
    }
    return fail(failure);
}

std::optional<ScanStatus> Scan::scanInMemory(const ReadBytes& read)
{
    std::optional<FileBytes> bytes = read();
    if (!bytes)
        return ScanStatus::Stopped;
    if (!streamComplete_) {
        pending_ = std::move(bytes);
        return std::nullopt;
    }
    if (bytes->empty())
        return ScanStatus::Empty;
    if (!loadLines(*bytes)) {
        if (streamFd_ >= 0)
            pending_ = std::move(bytes);
        return std::nullopt;
    }
    if (!stopped_)
        findDuplicates();
    if (stopped_)
        return ScanStatus::Stopped;
    // A mapped file that shrank meanwhile was read in part as zeros.
    if (src_->damaged())
        throw ReadError{ReadFailure::FileError, kChangedWhileReadError};
    return finish() ? ScanStatus::Completed : ScanStatus::Stopped;
}

bool Scan::loadLines(FileBytes& bytes)
{
    const std::string_view all(bytes.data(), bytes.size());
    const bool parallel = worthTwoCores(static_cast<int64_t>(all.size()), kTwoCoresFromBytes);
    EncodingChoice choice = chooseEncoding(options_.textEncoding, all, parallel, options_.zeroTerminated);
    if (!choice.source)
        throw choice.refusal;
    // Three passes over the bytes, each a share of the loading's progress.
    work_.sink().progress(Stage::Loading, 1, 3);
    const SourceEncoding& source = *choice.source;
    const CodeUnit unit = codeUnitOf(source.encoding);
    // Count first, so the line records are allocated once.
    const std::string_view text = all.substr(source.textStart());
    const LineLayout layout =
        options_.zeroTerminated ? layOutNulLines(text, unit, parallel) : layOutLines(text, unit, parallel);
    work_.sink().progress(Stage::Loading, 2, 3);
    const int64_t perLine = kMemoryPerLine + (options_.filterPattern.empty() ? 0 : kMemoryPerFilteredLine);
    if (mayUseDisk_ && static_cast<int64_t>(all.size()) + layout.total * perLine > memory_)
        return false;
    if (layout.total > INT32_MAX)
        throw ReadError{ReadFailure::FileError};
    lineCount_ = layout.total;
    r_.onDisk = false;
    r_.bigFile = lineCount_ >= kBigFileLines;
    // The byte-order mark is not part of the first line; the save writes it back.
    r_.encoding = source;
    r_.lineEndMode = layout.mode;
    r_.lineCount = lineCount_;
    src_ = std::make_shared<SourceLines>(std::move(bytes), source.textStart(), unit);
    dups_ = std::make_shared<DupsList>(src_, digitCount(lineCount_));

    // The lines are recorded at once (at memory speed). Keys without a
    // filter are hashed meanwhile, each line's bytes read once; a file of
    // 4 GiB or more has its lines' places settled only at the end.
    if (options_.filterPattern.empty() && all.size() <= UINT32_MAX) {
        finder_ = std::make_unique<DuplicateFinder>(*src_, keyRules(options_, nullptr, source.encoding), *dups_,
                                                    layout.total, layout.firstCount);
        src_->addAllLines(layout, parallel, finder_->hasher());
    } else {
        src_->addAllLines(layout, parallel);
    }
    work_.sink().progress(Stage::Loading, lineCount_, lineCount_);
    if (work_.checkIn()) {
        stopped_ = true;
        return true;
    }
    work_.begin(Stage::Loaded);
    return true;
}

void Scan::findDuplicates()
{
    // Lines read from a stream exist only here: they are never freed.
    r_.memoryPreserved = r_.bigFile && options_.preserveMemory && !r_.fromStream;
    work_.begin(Stage::Finding);
    r_.caseSensitive = options_.caseSensitive;
    r_.trimLines = options_.trimLines;
    r_.compatForms = options_.compatForms;
    const std::unique_ptr<LineFilter> filter = finder_ ? nullptr : filterFor(options_);
    if (filter)
        filter->watch([this] { return work_.check(); });
    if (!finder_)
        finder_ = std::make_unique<DuplicateFinder>(*src_, keyRules(options_, filter.get(), r_.encoding.encoding), *dups_);
    DuplicateFinder& finder = *finder_;
    // Lines are compared a range at a time; a range whose keys take long (a
    // slow filter) is cut short, so progress shows and a stop is noticed.
    constexpr int64_t kRange = 1 << 16;
    constexpr auto kSlice = std::chrono::milliseconds(20);
    for (int64_t begin = 0; begin < lineCount_;) {
        const int64_t end = finder.process(begin, std::min(begin + kRange, lineCount_), kSlice);
        if (work_.report(Stage::Finding, end - 1, lineCount_)) {
            stopped_ = true;
            return;
        }
        begin = end;
    }
    // Grouping and listing, a slice at a time.
    work_.begin(Stage::Grouping);
    while (!finder.finish(kSlice)) {
        if (work_.report(Stage::Grouping, finder.partitionsGrouped(), finder.partitionCount())) {
            stopped_ = true;
            return;
        }
    }
    groupCount_ = finder.groupCount();
    // The last stage starts before the finder is released, which takes a moment.
    work_.begin(Stage::Finishing);
    finder_.reset();
}

bool Scan::finish()
{
    if (r_.memoryPreserved) {
        ContentHash hash;
        hash.add(src_->bytes());
        r_.contentHash = hash.value();
        dups_->detachKeys();
        src_->release();
    }
    if (dups_->count() > 0)
        work_.begin(Stage::Sorting);
    if (!dups_->sort(work_))
        return false;
    r_.groupCount = groupCount_;
    r_.ready = dups_->count() > 0;
    return true;
}

ScanStatus Scan::scanOnDisk(const std::string& file)
{
    r_.ready = false;
    r_.onDisk = true;
    r_.memoryPreserved = false;
    src_.reset();
    dups_.reset();

    // A stream is copied to a temporary file first: the scan reads twice.
    std::string path = file;
    if (streamFd_ >= 0) {
        work_.begin(Stage::FindingOnDisk);
        auto spool = std::make_shared<SpillFile>();
        const std::string_view head = pending_ ? std::string_view(pending_->data(), pending_->size()) : std::string_view();
        const bool copied = spoolStream(head, streamFd_, *spool, [&] { return work_.check(); },
                                        [&](size_t have) { streamRead(have); });
        pending_.reset();
        if (!copied)
            return ScanStatus::Stopped;
        path = spool->path();
        r_.spooledInput = std::move(spool);
    }

    // What the try in memory held (the stream's head, a file that did not
    // fit after all) is not kept for reuse: the scan on disk counts without it.
    releaseBigMemory();
    SpilledScanResult spilled;
    if (!runSpilledScan(path, options_, memory_, work_, spilled)) {
        r_.spooledInput.reset();
        return ScanStatus::Stopped;
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
    r_.caseSensitive = options_.caseSensitive;
    r_.trimLines = options_.trimLines;
    r_.compatForms = options_.compatForms;
    src_ = spilled.source;
    dups_ = spilled.dups;
    groupCount_ = spilled.groups;
    work_.begin(Stage::Finishing);
    return finish() ? ScanStatus::Completed : ScanStatus::Stopped;
}

Scanned Scan::end(ScanStatus status)
{
    // The blocks the scan gave back go back to the system.
    releaseBigMemory();
    r_.source = src_;
    r_.dups = dups_;
    if (status != ScanStatus::Completed) {
        // The results cannot stand: the save must not take the file for scanned.
        r_.file.clear();
        r_.ready = false;
    }
    return Scanned{status, {}, std::move(r_)};
}

Scanned Scan::fail(ScanFailure failure)
{
    Scanned out = end(ScanStatus::Failed);
    out.failure = std::move(failure);
    if (out.failure.dropLists()) {
        out.result.source.reset();
        out.result.dups.reset();
        out.result.spooledInput.reset();
    }
    return out;
}

}  // namespace

std::optional<ReadError> checkScannable(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return ReadError{ReadFailure::CannotOpen, errno};
    if (!S_ISREG(st.st_mode))
        return ReadError{ReadFailure::CannotOpen, kNotRegularError};
    // A size of 0 may only mean that the file does not tell (/proc): a byte
    // read says whether it holds anything.
    if (st.st_size == 0) {
        int error = 0;
        const int fd = openRegularFile(path, error);
        if (fd < 0)
            return ReadError{ReadFailure::CannotOpen, error};
        char byte;
        const ssize_t got = ::read(fd, &byte, 1);
        ::close(fd);
        if (got == 0)
            return ReadError{ReadFailure::Empty};
    }
    // A file we may not read fails here rather than halfway through.
    if (::access(path.c_str(), R_OK) != 0)
        return ReadError{ReadFailure::CannotOpen, errno};
    return std::nullopt;
}

Scanned scanFile(const std::string& path, const Options& options, Work& work)
{
    return Scan(options, work).file(path);
}

Scanned scanStream(int fd, const std::string& name, const Options& options, Work& work)
{
    return Scan(options, work).stream(fd, name);
}

}  // namespace quillow
