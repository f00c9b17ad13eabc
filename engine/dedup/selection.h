#pragma once
// The selection commands over the duplicates list: which occurrences are
// marked for deletion.
#include <cstdint>
#include <vector>

#include "engine/dedup/dups_list.h"
#include "engine/work/work.h"

namespace quillow {

enum class SelectCommand { All, None, Invert, AllButFirst, AllButLast };

// The flags (one per entry, 1: selected) that command gives list: All and
// None set every flag, Invert flips each, AllButFirst and AllButLast select
// every entry of a group but its first or last. Empty when work was stopped.
std::vector<uint8_t> selectionAfter(const DupsList& list, SelectCommand command, Work& work);

}  // namespace quillow
