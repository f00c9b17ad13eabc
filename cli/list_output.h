#pragma once
// What --list and --count write to standard output.
#include "app/command_line/command_line.h"
#include "engine/dedup/dups_list.h"
#include "engine/text/shown_text.h"

namespace quillow {

// What writeList and writeCounts return beside 0 and a failed write's
// errno: stopped by Ctrl-C, or kChangedWhileReadError (engine/io/file_info.h)
// when the file's mapping lost pages, whose zeros are never written.
inline constexpr int kListStopped = -1;

// --list: every entry of the duplicates list, bytes exactly as held. Numbered:
// "[line]   text" (the line number padded as in the lists); tsv: line number,
// group number (1-based, in list order) and text, separated by tabs.
int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd);

// --count: one line per group, in list order: the number of occurrences, a
// tab, and the group's text as --list shows it for the group's first entry.
int writeCounts(const DupsList& list, ShownText& shown, int fd);

}  // namespace quillow
