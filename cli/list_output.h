#pragma once
// What --list writes to standard output.
#include <cstdint>
#include <functional>

#include "app/command_line/command_line.h"
#include "engine/dedup/dups_list.h"
#include "engine/text/shown_text.h"

namespace quillow {

// --list: every entry of the duplicates list, bytes exactly as held. Numbered:
// "[line]   text" (the line number padded as in the lists); tsv: line number,
// group number (1-based, in list order) and text, separated by tabs.
// Returns 0, or the errno of a failed write (-1: stopped by a signal, also
// while the write waited for a slow reader; kChangedWhileReadError: the
// file's mapping lost pages, and nothing more was written). progress, when
// given, hears the entries written so far after each batch: a list whose
// texts come from a file on disk takes minutes to write.
int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd,
              const std::function<void(int64_t done, int64_t total)>& progress = {});

}  // namespace quillow
