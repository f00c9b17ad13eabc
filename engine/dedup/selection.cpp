#include "engine/dedup/selection.h"

#include <algorithm>

namespace quillow {

std::vector<bool> selectionAfter(const DupsList& list, SelectCommand command, Work& work)
{
    const auto n = static_cast<size_t>(list.count());
    switch (command) {
    case SelectCommand::All:
    case SelectCommand::None:
        return std::vector<bool>(n, command == SelectCommand::All);
    case SelectCommand::Invert: {
        std::vector<bool> flags = list.selection();
        flags.resize(n, false);
        flags.flip();  // a word at a time
        return flags;
    }
    case SelectCommand::AllButFirst:
    case SelectCommand::AllButLast:
        break;
    }
    // group(i) is the first line of the entry's group, which is exactly what
    // the scan found equal under its compare mode. An entry is selected when
    // its neighbour on the kept side is of its group.
    const bool byFirst = command == SelectCommand::AllButFirst;
    std::vector<bool> flags(n, false);
    uint32_t previous = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t group = list.group(static_cast<int64_t>(i));
        if (i > 0 && group == previous)
            flags[byFirst ? i : i - 1] = true;
        previous = group;
        if (work.step(Stage::Selecting, static_cast<int64_t>(i), static_cast<int64_t>(n) - 1))
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
