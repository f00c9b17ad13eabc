#pragma once
// Builds a scan result as a completed scan would leave it, from the file's
// lines and the duplicate occurrences, without running the scan.
#include <memory>
#include <string>
#include <vector>

#include "engine/dedup/scan_result.h"
#include "engine/text/text_util.h"

namespace quillow::testing {

struct Occurrence {
    int64_t line;   // 1-based line number
    int64_t group;  // 1-based line number of the group's first occurrence
    std::string key;
};

// lines: the source list as read (none may hold a CR). The duplicates list is
// sorted the way the scan leaves it (by group, then line). bigFile only sets
// the flag.
inline void fillResult(ScanResult& result, const std::vector<std::string>& lines,
                       const std::vector<Occurrence>& dups, bool bigFile = false)
{
    std::string bytes;
    for (const std::string& l : lines)
        bytes += l + "\r";
    auto source = std::make_shared<SourceLines>(std::string_view(bytes));
    auto list = std::make_shared<DupsList>(source, digitCount(static_cast<int64_t>(lines.size())));
    for (const Occurrence& d : dups)
        list->append(static_cast<uint32_t>(d.line - 1), static_cast<uint32_t>(d.group - 1), d.key);
    list->sort();
    result.source = source;
    result.dups = list;
    result.lineCount = static_cast<int64_t>(lines.size());
    result.bigFile = bigFile;
    result.ready = true;
}

// Lines "line 1" .. "line n", for tests that only care about the duplicates.
inline std::vector<std::string> numberedLines(int64_t n)
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(n));
    for (int64_t i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

}  // namespace quillow::testing
