#include "engine/dedup/selection.h"

namespace quillow {

std::vector<uint8_t> selectionAfter(const DupsList& list, SelectCommand command, Work& work)
{
    const int64_t n = list.count();
    std::vector<uint8_t> flags(static_cast<size_t>(n), 0);
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

}  // namespace quillow
