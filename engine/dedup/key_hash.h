#pragma once
// How keys are hashed and compared: exactly (binary), or ignoring letter case
// (text). Equal keys under a mode have equal hashes; the hash is computed
// once per line and also picks the key's partition (see hash_partitions.h).
// Inlined: keys are a few dozen bytes, where a library call costs as much
// as the hashing.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text/text_util.h"

namespace quillow {

enum class CompareMode { Binary = 0, Text = 1 };

// XXH3 of the key, or of its case fold (short ASCII keys fold on the
// stack). XXH3 rather than absl's string hash: 9.6 against 17.1 ns a line
// on the 10M-line benchmark file (bench/hash_table.sh).
inline uint64_t keyHash(CompareMode mode, std::string_view key)
{
    if (mode == CompareMode::Binary)
        return XXH3_64bits(key.data(), key.size());
    char piece[256];
    if (key.size() <= sizeof piece && isAscii(key)) {
        lowerAscii(key.data(), key.size(), piece);
        return XXH3_64bits(piece, key.size());
    }
    thread_local std::string folded;
    foldCase(key, folded);
    return XXH3_64bits(folded.data(), folded.size());
}

inline bool sameKey(CompareMode mode, std::string_view a, std::string_view b)
{
    return mode == CompareMode::Binary ? a == b : equalIgnoringCase(a, b);
}

}  // namespace quillow
