#pragma once
// The selection commands over the duplicates list: which occurrences are
// marked for deletion.
#include <cstdint>
#include <vector>

#include "engine/dedup/dups_list.h"
#include "engine/runtime/work.h"

namespace quillow {

enum class SelectCommand { All, None, Invert, AllButFirst, AllButLast };

// The flags (one per entry, set: selected) that command gives list: All and
// None set every flag, Invert flips each, AllButFirst and AllButLast select
// every entry of a group but its first or last. Empty when work was stopped.
std::vector<bool> selectionAfter(const DupsList& list, SelectCommand command, Work& work);

// A group's size by the line that stands for it (its first occurrence, or
// its last): what a count of each group writes before that line.
struct GroupSize {
    uint32_t line;  // 0-based index
    uint32_t count;
};
// Every group of list, in line order.
std::vector<GroupSize> groupSizes(const DupsList& list, bool byLast);

}  // namespace quillow
