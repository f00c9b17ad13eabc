#pragma once
// The five selection commands of the Select menu, hand checking, and
// locating an entry's line in the source list.
#include <cstdint>
#include <functional>
#include <string>

#include "app/host.h"
#include "app/run_flags.h"
#include "app/scan_result.h"

namespace quillow {

enum class SelectCommand { All, None, Invert, AllButFirst, AllButLast };

// Runs one command over the whole duplicates list with its status texts.
// The main window is disabled throughout (Host::setMainWindowEnabled). After
// the flags are written it calls host.selectionChanged() while
// flags.selecting is still set: the GUI repaints and makes entry 0 of the
// duplicates view current; locateLine answers -1 then, so the source list
// does not move.
void runSelectCommand(ScanResult& result, RunFlags& flags, Host& host, SelectCommand command);

// selected + " 共  " + entries + " 个重复项已选定。"
std::string selectionStatusText(const ScanResult& result);

// The user changed the check box of entry item: shows the selection text.
// Does nothing while a command runs.
void entryCheckChanged(const ScanResult& result, const RunFlags& flags, Host& host, int64_t item);

// Writes the viewer's check marks back as the selection: lineChecked(index)
// says whether the line at that source-list index is checked. Only real
// changes are written; each shows the selection text as a hand check does,
// and the views hear of it once at the end.
void applyLineMarks(ScanResult& result, const RunFlags& flags, Host& host,
                    const std::function<bool(int64_t lineIndex)>& lineChecked);

// The source-list index (line number - 1) of duplicates entry item, or -1.
int64_t locateLine(const ScanResult& result, const RunFlags& flags, int64_t item);

}  // namespace quillow
