#pragma once
// The one process-wide record every subsystem works on: settings in memory,
// the scanned file, the two line lists, flags and counters. Created in main
// and passed by reference. Flags the program sets itself hold -1 / 0; options
// from check boxes hold 1 / 0.
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "engine/host.h"
#include "engine/dups_list.h"
#include "engine/source_lines.h"

namespace quillow {

class LineFilter;

struct ProgramState {
    ProgramState();
    ~ProgramState();

    // Settings (stored).
    int16_t caseSensitive = 0;
    int16_t trimLines = 0;
    int16_t includeEmptyLines = 0;
    int16_t preserveMemory = 0;
    int16_t iStartPos = 0;
    std::string sRegExp;
    int16_t iRegExpMatch = 0;
    std::string sFilterTestBackup;
    int16_t trimSaveLines = 0;
    int16_t saveEmptyLines = 1;
    int16_t saveApplyFilter = 0;
    std::string lastLoadedFile;
    std::string lastSavedFile;
    int16_t winLeft = 0, winTop = 0, winWidth = 6765, winHeight = 7300, winState = 0;
    int16_t viewWinLeft = 0, viewWinTop = 0, viewWinWidth = 7095, viewWinHeight = 5655, viewWinState = 0;
    int32_t statFilesOpened = 0;
    int32_t statLinesScanned = 0;
    int32_t statDupsFound = 0;
    int32_t statUniqueDupsFound = 0;
    int32_t statDupsDeleted = 0;

    // The filter engine and what it was built from.
    std::unique_ptr<LineFilter> oRegExp;
    int16_t regExpReady = 0;
    int16_t regExpMatch = 0;

    // The scanned file.
    std::string scannedFile;
    int64_t scannedFileDate = 0;  // mtime, local time, whole seconds
    int16_t scanCaseSensitive = 0;
    int16_t scanTrimLines = 0;
    LineEnds scanLineEnds = LineEnds::LF;

    // Lists and flags.
    int16_t isBusy = 0;
    int32_t selectedCount = 0;
    int16_t memoryPreserved = 0;
    int16_t bigFile = 0;
    int16_t hasBOM = 0;
    int16_t viewerOpen = 0;
    int16_t releaseMode = -1;
    std::string droppedFile;
    std::shared_ptr<DupsList> dupsList;
    std::shared_ptr<SourceLines> sourceList;
    // True once a scan completed and its results stand (Save/Select/View).
    bool resultsReady = false;

    // Command line.
    int16_t cmdLineMode = 0;
    std::string cmdLineInputFile, cmdLineOutputFile, cmdLineSelectMode, cmdLineCaseSensitive, cmdLineTrimLines,
        cmdLineSaveEmptyLines, cmdLineStartPos, cmdLineRegExp, cmdLineRegExpMatch, cmdLineApplyFilter;

    std::string appName = "Quillow";
    std::string appVersion = "3.0";

    // Main-window fields the engine shares.
    std::string currentFile;
    int16_t stopRequested = 0;
    int32_t lastLineIndex = 0;
    int16_t firstActivation = 0;
    int16_t selecting = 0;
};

constexpr int32_t kBigFileLines = 32768;
inline const char* const kNoPreview = "不可预览...";
inline const char* const kFileFilter = "所有文件(*.*)  |*.*|文本文档(*.txt)   |*.txt";

// The open and save dialogs both offer all files and text files (the first
// preselected) and add "TXT" to a name without extension.
inline FileDialogRequest textFileDialog(const std::string& startName)
{
    FileDialogRequest r;
    r.fileName = startName;
    r.filter = kFileFilter;
    r.filterIndex = 1;
    r.defaultExt = "TXT";
    return r;
}

}  // namespace quillow
