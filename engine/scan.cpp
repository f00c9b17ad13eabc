#include "engine/scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "engine/file_info.h"
#include "engine/duplicate_finder.h"
#include "engine/line_filter.h"
#include "engine/text_util.h"
#include "engine/two_cores.h"
#include "engine/scan_texts.h"

namespace quillow {

ButtonStates buttonStates(const ProgramState& state)
{
    ButtonStates s;
    if (state.isBusy) {
        s.scanEnabled = false;
        s.scanVisible = false;
        s.stopEnabled = true;
        s.stopVisible = true;
        s.saveEnabled = s.selectEnabled = s.viewEnabled = false;
        s.settingsEnabled = s.aboutEnabled = false;
        return s;
    }
    s.saveEnabled = s.selectEnabled = state.resultsReady;
    s.viewEnabled = state.resultsReady && state.memoryPreserved == 0;
    return s;
}

namespace {

// Files of this many bytes or more are read and split on two cores.
constexpr int64_t kTwoCoresFromBytes = int64_t{16} << 20;

// A failure after the checks (read error, exhausted memory): reported through
// the same path as a failed check.
struct ScanError {
    std::string status;
};

// Reads the whole file; the scan needs every line at once anyway.
// Reads count bytes at offset into to; fewer only at the end of the file.
size_t readAt(int fd, char* to, size_t count, off_t offset)
{
    size_t have = 0;
    while (have < count) {
        ssize_t n = ::pread(fd, to + have, count - have, offset + static_cast<off_t>(have));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ScanError{kScanFileError};
        }
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    return have;
}

// Reads the whole file; the scan needs every line at once anyway. A big file
// is read in two halves at the same time.
BigVector<char> readWholeFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ScanError{kScanCannotOpen};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw ScanError{kScanCannotOpen};
    }
    BigVector<char> bytes;
    try {
        const size_t size = static_cast<size_t>(st.st_size);
        // One byte more than the size, so that meeting the end costs no
        // growth (and no second copy of a big file).
        bytes.resize(size + 1);
        const size_t half = size / 2;
        size_t got[2] = {0, 0};
        onTwoCores(worthTwoCores(static_cast<int64_t>(size), kTwoCoresFromBytes), [&](int part) {
            if (part == 0)
                got[0] = readAt(fd, bytes.data(), half, 0);
            if (part == 1 || !worthTwoCores(static_cast<int64_t>(size), kTwoCoresFromBytes))
                got[1] = readAt(fd, bytes.data() + half, size - half, static_cast<off_t>(half));
        });
        size_t have = got[0] + got[1];
        if (got[0] < half)  // the file shrank under us: read it again in one go
            have = readAt(fd, bytes.data(), size, 0);
        for (;;) {  // the file may also have grown
            if (have == bytes.size())
                bytes.resize(bytes.size() + (bytes.size() / 4) + 65536);
            size_t n = readAt(fd, bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
            have += n;
            if (have < bytes.size())
                break;
        }
        bytes.resize(have);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

// Byte-order marks, in the order they are tested.
size_t bomLength(std::string_view line)
{
    static const std::string_view marks[] = {
        std::string_view("\xEF\xBB\xBF", 3),
        std::string_view("\xFE\xFF", 2),
        std::string_view("\xFF\xFE", 2),
        std::string_view("\x00\x00\xFE\xFF", 4),
    };
    for (std::string_view m : marks)
        if (line.substr(0, m.size()) == m)
            return m.size();
    return 0;
}

std::string percentText(const char* prefix, int64_t part, int64_t whole)
{
    int64_t p = whole > 0 ? (part * 100) / whole : 0;
    return std::string(prefix) + std::to_string(p) + "%";
}

class Scan {
public:
    Scan(ProgramState& state, Host& host) : s_(state), h_(host) {}
    ScanOutcome run();

private:
    bool chooseFile();
    void checkFile();
    void loadLines(BigVector<char> bytes);
    void findDuplicates();
    void finish();
    // Asks whether to stop when Stop was pressed; true when the user confirmed.
    bool stopConfirmed();
    void interrupted();
    void failed(const std::string& status);
    void showButtons(bool stopEnabled = true);
    void tick(const char* prefix, int64_t value, int64_t whole, int32_t progressValue);

    ProgramState& s_;
    Host& h_;
    std::shared_ptr<SourceLines> src_;
    std::shared_ptr<DupsList> dups_;
    int64_t lineCount_ = 0;
    int64_t groupCount_ = 0;
    int32_t tick_ = 0;
    bool stopped_ = false;
};

void Scan::showButtons(bool stopEnabled)
{
    ButtonStates b = buttonStates(s_);
    b.stopEnabled = b.stopEnabled && stopEnabled;
    h_.showButtons(b);
}

bool Scan::chooseFile()
{
    if (s_.cmdLineMode == -1) {
        s_.currentFile = s_.cmdLineInputFile;
    } else if (!s_.droppedFile.empty()) {
        s_.currentFile = s_.droppedFile;
        s_.droppedFile.clear();
    } else {
        FileDialogRequest r = textFileDialog(s_.lastLoadedFile);
        r.mustExist = true;
        s_.currentFile = h_.chooseOpenFile(r) ? r.fileName : std::string();
    }
    return !s_.currentFile.empty();
}

void Scan::checkFile()
{
    FileInfo info = fileInfo(s_.currentFile);
    if (!info.exists)
        throw ScanError{kScanCannotOpen};
    if (info.size == 0)
        throw ScanError{kScanFileEmpty};
    // A file we may not read fails here rather than halfway through.
    if (::access(s_.currentFile.c_str(), R_OK) != 0)
        throw ScanError{kScanCannotOpen};
    s_.lastLoadedFile = s_.currentFile;
    h_.setCaption(s_.appName + " " + s_.appVersion + " - " + s_.currentFile);
    s_.scannedFileDate = info.modifiedSeconds;
    s_.scannedFile = s_.currentFile;
}

void Scan::tick(const char* prefix, int64_t value, int64_t whole, int32_t progressValue)
{
    h_.setProgressValue(progressValue);
    h_.setStatus(percentText(prefix, value, whole));
    h_.yield();
    if (stopConfirmed())
        stopped_ = true;
}

void Scan::loadLines(BigVector<char> bytes)
{
    const std::string_view all(bytes.data(), bytes.size());
    LineEnds ends = detectLineEnds(all);
    // Step 4: count.
    const bool parallel = worthTwoCores(static_cast<int64_t>(all.size()), kTwoCoresFromBytes);
    const LineSplit split = countLinesInHalves(all, ends, parallel);
    const int64_t count = split.total;
    if (count > INT32_MAX)
        throw ScanError{kScanFileError};
    lineCount_ = count;

    // Step 5: holders.
    s_.bigFile = lineCount_ >= kBigFileLines ? -1 : 0;
    if (s_.bigFile && s_.cmdLineMode != -1)
        h_.messageBox(kBigFileMessage, mb::Information);
    s_.stopRequested = 0;
    s_.resultsReady = false;
    showButtons();
    h_.yield();
    s_.selectedCount = 0;
    s_.scanLineEnds = ends;
    src_ = std::make_shared<SourceLines>(std::move(bytes), ends, false);
    dups_ = std::make_shared<DupsList>(src_, digitCount(lineCount_));
    s_.sourceList = src_;
    s_.dupsList = dups_;
    h_.listsChanged();
    if (s_.bigFile)
        h_.yield();
    h_.setProgressMax(static_cast<int32_t>(lineCount_));
    h_.setProgressValue(0);

    // Step 6: load. The lines are recorded at once (at memory speed), then
    // the 50-line progress rhythm runs over them.
    src_->addAllLines(split, parallel);
    tick_ = 0;
    for (int64_t read = 1; read <= lineCount_; ++read) {
        if (tick_ == 50) {
            tick(kLoadingPrefix, read, lineCount_, static_cast<int32_t>(read));
            tick_ = 0;
            if (stopped_)
                return;
        }
        ++tick_;
    }
    h_.setStatus(kLoaded);
    h_.listsChanged();

    // Step 7: byte-order mark.
    s_.hasBOM = 0;
    if (src_->ListCount() > 0) {
        size_t n = bomLength(src_->view(0));
        if (n) {
            s_.hasBOM = -1;
            src_->dropPrefix(0, n);
        }
    }
}

void Scan::findDuplicates()
{
    // Step 8: set up the comparison.
    s_.memoryPreserved = (s_.bigFile && s_.preserveMemory == 1) ? -1 : 0;
    lineCount_ = src_->ListCount();
    s_.lastLineIndex = static_cast<int32_t>(lineCount_ - 1);
    h_.setStatus(kFinding);
    h_.setProgressMax(static_cast<int32_t>(lineCount_));
    h_.setProgressMin(0);
    h_.setProgressValue(0);
    groupCount_ = 0;
    s_.scanCaseSensitive = s_.caseSensitive;
    s_.scanTrimLines = s_.trimLines;
    InitRegExp(s_);

    KeyRules rules;
    rules.trim = s_.scanTrimLines == 1;
    rules.startPos = s_.iStartPos;
    rules.filter = !s_.sRegExp.empty() && s_.regExpReady == -1;
    rules.mode = s_.scanCaseSensitive ? CompareMode::Binary : CompareMode::Text;
    {
        DuplicateFinder finder(*src_, rules, s_, *dups_);
        // Lines are compared a range at a time; the progress rhythm then runs
        // over the range's lines as if they had been compared one by one.
        constexpr int64_t kRange = 1 << 16;
        for (int64_t begin = 0; begin < lineCount_ && !stopped_; begin += kRange) {
            const int64_t end = std::min(begin + kRange, lineCount_);
            finder.process(begin, end);
            groupCount_ = finder.groupCount();
            for (int64_t i = begin; i < end; ++i) {
                if (tick_ == 50) {
                    tick(kFindingPrefix, i, lineCount_, static_cast<int32_t>(i));
                    if (stopped_)
                        break;
                    tick_ = 1;
                } else {
                    ++tick_;
                }
            }
        }
        if (stopped_)
            return;
        // Step 10 starts before the keyed set is released, which takes a moment.
        h_.setStatus(kFinishing);
        h_.setPointer(Pointer::Hourglass);
        h_.setProgressValue(static_cast<int32_t>(lineCount_));
        showButtons(false);
        h_.yield();
    }
}

void Scan::finish()
{
    if (s_.memoryPreserved) {
        dups_->detachKeys();
        src_->release();
    }
    const int64_t d = dups_->ListCount();
    if (d > 0) {
        h_.setStatus(kSorting);
        h_.yield();
        dups_->sort();
        if (!s_.bigFile) {
            h_.setStatus(kShowingList);
            h_.yield();
        }
    } else {
        dups_->sort();
    }
    if (d > 0)
        h_.setStatus(kScannedPrefix + std::to_string(lineCount_) + kScannedFound + std::to_string(d) +
                     kScannedGroups + std::to_string(groupCount_) + kScannedEnd);
    else
        h_.setStatus(kNoDuplicates);
    h_.setProgressValue(static_cast<int32_t>(lineCount_));

    s_.statFilesOpened = addSaturating(s_.statFilesOpened, 1);
    s_.statLinesScanned = addSaturating(s_.statLinesScanned, lineCount_);
    s_.statDupsFound = addSaturating(s_.statDupsFound, d);
    s_.statUniqueDupsFound = addSaturating(s_.statUniqueDupsFound, groupCount_);

    s_.resultsReady = d > 0;
    s_.isBusy = 0;
    h_.listsChanged();
    h_.setPointer(Pointer::Default);
    showButtons();
}

bool Scan::stopConfirmed()
{
    if (s_.stopRequested != -1)
        return false;
    s_.stopRequested = 0;
    return h_.messageBox(kScanStopQuestion, mb::YesNo | mb::Question) == Answer::Yes;
}

void Scan::interrupted()
{
    s_.cmdLineMode = 0;
    const int64_t d = dups_ ? dups_->ListCount() : 0;
    h_.setStatus(d > 0 ? std::to_string(d) + kInterruptedFound : std::string(kInterruptedNone));
    s_.scannedFile.clear();
    s_.resultsReady = false;
    h_.setProgressValue(static_cast<int32_t>(lineCount_));
    h_.yield();
    h_.setPointer(Pointer::Default);
    s_.isBusy = 0;
    h_.listsChanged();
    showButtons();
}

void Scan::failed(const std::string& status)
{
    if (!status.empty())
        h_.setStatus(status);
    h_.yield();
    h_.setProgressValue(static_cast<int32_t>(lineCount_));
    h_.setPointer(Pointer::Default);
    s_.isBusy = 0;
    showButtons();
}

ScanOutcome Scan::run()
{
    if (!chooseFile())
        return ScanOutcome::NoFile;
    s_.isBusy = -1;
    try {
        checkFile();
    } catch (const ScanError& e) {
        failed(e.status);
        return e.status == kScanFileEmpty ? ScanOutcome::EmptyFile : ScanOutcome::Failed;
    }

    showButtons(false);
    h_.setPointer(Pointer::ArrowHourglass);
    h_.setStatus(kLoading);
    h_.yield();

    try {
        loadLines(readWholeFile(s_.currentFile));
        if (!stopped_)
            findDuplicates();
        if (stopped_) {
            interrupted();
            return ScanOutcome::Stopped;
        }
        finish();
        return ScanOutcome::Completed;
    } catch (const ScanError& e) {
        // The file went away or failed to read after the checks: its results
        // cannot stand, and the save must not take the file for scanned.
        s_.scannedFile.clear();
        s_.resultsReady = false;
        failed(e.status);
    } catch (const std::bad_alloc&) {
        s_.scannedFile.clear();
        s_.resultsReady = false;
        s_.sourceList.reset();
        s_.dupsList.reset();
        h_.listsChanged();
        failed(kScanOutOfMemory);
    } catch (const std::length_error&) {
        s_.scannedFile.clear();
        s_.resultsReady = false;
        failed(kScanFileError);
    }
    return ScanOutcome::Failed;
}

}  // namespace

ScanOutcome runScan(ProgramState& state, Host& host)
{
    return Scan(state, host).run();
}

}  // namespace quillow
