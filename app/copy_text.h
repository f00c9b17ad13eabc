#pragma once
// The text the copy dialog puts on the clipboard, and how the dialog adapts
// its options to the last scan.
#include <cstdint>
#include <string>

#include "engine/dedup/scan_result.h"

namespace quillow {

// Which entries of the duplicates list.
enum class CopyRange { All, Selected, Highlighted };
// What of each entry: the line as read, its key, or its line number.
enum class CopyContent { Source, Filtered, LineNumber };

// One item per entry of the range, in list order, each followed by LF.
// highlighted is the duplicates view's current entry (-1: none); it is only
// read for CopyRange::Highlighted. An empty result means there is nothing to
// copy (text::kNothingToCopy). CopyContent::Source needs the source texts: it
// throws std::logic_error when they were released (memoryPreserved).
std::string buildCopyText(const ScanResult& result, CopyRange range, CopyContent content, int64_t highlighted);

// The dialog's options as it opens after a scan.
struct CopyDialogSetup {
    bool sourceEnabled = true;       // "来源内容"
    bool highlightedEnabled = true;  // "当前高亮的重复项"
    CopyRange range = CopyRange::All;
    CopyContent content = CopyContent::Source;
    bool operator==(const CopyDialogSetup&) const = default;
};
CopyDialogSetup copyDialogSetup(const ScanResult& result);

}  // namespace quillow
