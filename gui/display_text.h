#pragma once
// How a line of the file is shown in a list row.
#include <QString>

#include <string_view>

#include "engine/text/shown_text.h"

namespace quillow {

// A row shows at most this much of its line: a row is one line high, and a
// line of megabytes would otherwise be converted and measured at every repaint.
constexpr size_t kShownLineBytes = 4096;

// The display text of a line. Bytes that are not UTF-8 show as replacement
// characters; the line itself is not touched. Line-break characters inside a
// line (a lone LF in a CR file) show as their control pictures so the row
// stays one line high.
QString displayText(std::string_view line);
// A line of the scanned file, decoded from its encoding first; the same cut
// applies to its bytes, so a huge line is never decoded whole.
QString displayLine(std::string_view bytes, ShownText& shown);

}  // namespace quillow
