#pragma once
// What --list writes to standard output.
#include "app/command_line/command_line.h"
#include "engine/dedup/dups_list.h"
#include "engine/text/shown_text.h"

namespace quillow {

// --list: every entry of the duplicates list, bytes exactly as held. Numbered:
// "[line]   text" (the line number padded as in the lists); tsv: line number,
// group number (1-based, in list order) and text, separated by tabs.
// Returns 0, or the errno of a failed write (-1: stopped by a signal, also
// while the write waited for a slow reader; kChangedWhileReadError: the
// file's mapping lost pages, and nothing more was written).
int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd);

}  // namespace quillow
