#include "engine/dedup/selection.h"

#include <algorithm>

namespace quillow {

std::vector<bool> selectionAfter(const DupsList& list, SelectCommand command, Work& work)
{
    const int64_t n = list.count();
    std::vector<bool> flags(static_cast<size_t>(n), false);
    // group(i) is the first line of the entry's group, which is exactly what
    // the scan found equal under its compare mode.
    auto sameGroup = [&](int64_t a, int64_t b) { return list.group(a) == list.group(b); };
    for (int64_t i = 0; i < n; ++i) {
        bool selected = false;
        switch (command) {
        case SelectCommand::All:
            selected = true;
            break;
        case SelectCommand::None:
            break;
        case SelectCommand::Invert:
            selected = !list.isSelected(i);
            break;
        case SelectCommand::AllButFirst:
            selected = i > 0 && sameGroup(i, i - 1);
            break;
        case SelectCommand::AllButLast:
            selected = i + 1 < n && sameGroup(i, i + 1);
            break;
        }
        flags[static_cast<size_t>(i)] = selected;
        if (work.step(Stage::Selecting, i, n - 1))
            return {};
    }
    return flags;
}

std::vector<GroupSize> groupSizes(const DupsList& list, bool byLast)
{
    std::vector<GroupSize> sizes;
    const int64_t n = list.count();
    for (int64_t first = 0; first < n;) {
        int64_t end = first + 1;
        while (end < n && list.group(end) == list.group(first))
            ++end;
        const int64_t standing = byLast ? end - 1 : first;
        sizes.push_back({static_cast<uint32_t>(list.lineNumber(standing) - 1), static_cast<uint32_t>(end - first)});
        first = end;
    }
    // Groups come in the order of their first lines; their last lines may not.
    if (byLast)
        std::sort(sizes.begin(), sizes.end(), [](const GroupSize& a, const GroupSize& b) { return a.line < b.line; });
    return sizes;
}

}  // namespace quillow
