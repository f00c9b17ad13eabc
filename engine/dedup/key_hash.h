#pragma once
// How keys are hashed and compared: exactly (binary), or ignoring letter case
// (text). Equal keys under a mode have equal hashes; the hash is computed
// once per line and also picks the key's partition (see hash_partitions.h).
#include <absl/hash/hash.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text/text_util.h"

namespace quillow {

enum class CompareMode { Binary = 0, Text = 1 };

// A text hashed as its case fold in pieces of a fixed size; lower is set when
// the text is ASCII and still has to be lower-cased.
struct FoldedPieces {
    std::string_view text;
    bool lower;

    template <typename H>
    friend H AbslHashValue(H h, const FoldedPieces& k)
    {
        char piece[256];
        for (size_t i = 0; i < k.text.size(); i += sizeof piece) {
            const size_t n = std::min(sizeof piece, k.text.size() - i);
            const char* bytes = k.text.data() + i;
            if (k.lower) {
                lowerAscii(bytes, n, piece);
                bytes = piece;
            }
            h = H::combine_contiguous(std::move(h), bytes, n);
        }
        return H::combine(std::move(h), k.text.size());
    }
};

inline uint64_t keyHash(CompareMode mode, std::string_view key)
{
    // absl hashes its own string_view type with its fast string hash.
    if (mode == CompareMode::Binary)
        return absl::HashOf(absl::string_view(key.data(), key.size()));
    // ASCII folds on the fly, piece by piece; other text is folded into a
    // copy first. Both feed the folded bytes in the same pieces, so equal
    // folds hash alike.
    if (isAscii(key))
        return absl::HashOf(FoldedPieces{key, true});
    thread_local std::string folded;
    foldCase(key, folded);
    return absl::HashOf(FoldedPieces{folded, false});
}

inline bool sameKey(CompareMode mode, std::string_view a, std::string_view b)
{
    return mode == CompareMode::Binary ? a == b : equalIgnoringCase(a, b);
}

}  // namespace quillow
