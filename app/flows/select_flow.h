#pragma once
// Selecting occurrences for deletion: the Select menu's commands, hand
// checks, and the viewer's marks written back.
#include <cstdint>
#include <functional>
#include <string>

#include "app/session.h"
#include "engine/dedup/selection.h"

namespace quillow {

// Runs command over the whole duplicates list on the front end's worker,
// then sets the flags at once and shows the selection text.
void selectEntries(Session& session, SelectCommand command);

// selected + " 共  " + entries + " 个重复项已选定。"
std::string selectionStatusText(const ScanResult& result);

// The user changed the check box of entry item: shows the selection text.
void entryCheckChanged(Session& session, int64_t item);

// Writes the viewer's check marks back as the selection: lineChecked(index)
// says whether the line at that source-list index is checked. Only real
// changes are written; the front end hears of them once at the end.
void applyLineMarks(Session& session, const std::function<bool(int64_t lineIndex)>& lineChecked);

// The source-list index (line number - 1) of duplicates entry item, or -1.
int64_t lineOfEntry(const ScanResult& result, int64_t item);

}  // namespace quillow
