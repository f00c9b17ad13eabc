#pragma once
// One entry of the duplicates list as it is stored: in memory, or in the
// temporary file of a list that does not fit there (spilled_entries.h).
#include <cstdint>

namespace quillow {

#pragma pack(push, 4)
struct DupRecord {
    uint32_t line;
    uint32_t group;       // the group's first line
    uint64_t keyOffset;   // in the source, (flagged) in the list's text arena, or kKeyIsLine
    uint32_t keyLength;

    // The list's order: by group, then by line (unique per entry).
    uint64_t order() const { return uint64_t{group} << 32 | line; }
};
#pragma pack(pop)
static_assert(sizeof(DupRecord) == 20);

// keyOffset of an entry whose key is its whole line, read from the source
// when asked: listing needs no look at the line then, and most uses of the
// list (selections, saves, counts) never read a key.
inline constexpr uint64_t kKeyIsLine = uint64_t{1} << 61;

}  // namespace quillow
