#pragma once
// A keyed set of texts over abseil's flat hash set, comparing keys exactly
// (binary) or ignoring letter case (text). To stay small for tens of millions
// of keys it stores only 32-bit ids; the caller says what text each id stands
// for (keyOf), so no key is copied.
#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/big_allocator.h"
#include "engine/text_util.h"

namespace quillow {

enum class CompareMode { Binary = 0, Text = 1 };

// A key with its hash, computed once (hashOf) and used for the prefetch and
// the lookup alike.
struct HashedKey {
    std::string_view key;
    size_t hash;
};

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

template <typename KeyOf>
class KeyedSet {
public:
    // The compare mode is fixed on the empty set, before the first key.
    KeyedSet(CompareMode mode, KeyOf keyOf) : set_(0, Hash{this}, Eq{this}), mode_(mode), keyOf_(std::move(keyOf)) {}
    KeyedSet(const KeyedSet&) = delete;
    KeyedSet& operator=(const KeyedSet&) = delete;

    // Room for n keys without growing. The set grows only here, by building
    // a set of the new size and moving the ids over: abseil's own growth
    // leaves a set that fails to allocate with a capacity it does not own
    // (its destructor then frees memory that is not its own), while a set
    // whose construction throws is simply not there.
    void reserve(size_t n)
    {
        if (n <= room_)
            return;
        Set bigger(n + n / 7 + 1, Hash{this}, Eq{this});
        for (uint32_t id : set_)
            bigger.insert(id);
        set_.swap(bigger);
        room_ = n;
    }
    size_t size() const { return set_.size(); }
    CompareMode mode() const { return mode_; }

    // Equal keys under the compare mode have equal hashes.
    size_t hashOf(std::string_view key) const
    {
        // absl hashes its own string_view type with its fast string hash.
        if (mode_ == CompareMode::Binary)
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
    HashedKey hashed(std::string_view key) const { return HashedKey{key, hashOf(key)}; }

    // Fetches the memory a later findOrAdd(key) will touch.
    void prefetch(const HashedKey& key) const { set_.prefetch(key); }

    // The id of an equal key, or -1.
    int64_t find(std::string_view key) const
    {
        auto it = set_.find(hashed(key));
        return it == set_.end() ? -1 : int64_t{*it};
    }
    bool Exists(std::string_view key) const { return find(key) >= 0; }
    // Adds newId (whose text keyOf(newId) equals the key) unless an equal key
    // is present; returns the id that now stands for the key.
    uint32_t findOrAdd(const HashedKey& key, uint32_t newId)
    {
        makeRoom();
        auto it = set_.lazy_emplace(key, [&](const auto& ctor) { ctor(newId); });
        return *it;
    }
    uint32_t findOrAdd(std::string_view key, uint32_t newId) { return findOrAdd(hashed(key), newId); }
    // The same; onInsert runs just before newId is added (so that keyOf can
    // answer for it), and not at all when an equal key was present.
    template <typename OnInsert>
    uint32_t findOrAdd(const HashedKey& key, uint32_t newId, OnInsert onInsert)
    {
        makeRoom();
        auto it = set_.lazy_emplace(key, [&](const auto& ctor) {
            onInsert();
            ctor(newId);
        });
        return *it;
    }

private:
    struct Hash {
        using is_transparent = void;
        const KeyedSet* owner;
        size_t operator()(uint32_t id) const { return owner->hashOf(owner->keyOf_(id)); }
        size_t operator()(const HashedKey& k) const { return k.hash; }
    };
    struct Eq {
        using is_transparent = void;
        const KeyedSet* owner;
        bool same(std::string_view a, std::string_view b) const
        {
            return owner->mode_ == CompareMode::Binary ? a == b : equalIgnoringCase(a, b);
        }
        bool operator()(uint32_t a, uint32_t b) const { return a == b || same(owner->keyOf_(a), owner->keyOf_(b)); }
        bool operator()(uint32_t a, const HashedKey& b) const { return same(owner->keyOf_(a), b.key); }
        bool operator()(const HashedKey& a, uint32_t b) const { return same(a.key, owner->keyOf_(b)); }
    };

    using Set = absl::flat_hash_set<uint32_t, Hash, Eq, BigAllocator<uint32_t>>;

    // Before an insertion: a full set grows through reserve().
    void makeRoom()
    {
        if (set_.size() >= room_)
            reserve(room_ * 2 + 16);
    }

    Set set_;
    CompareMode mode_;
    KeyOf keyOf_;
    size_t room_ = 0;  // keys that fit without abseil growing the set
};

}  // namespace quillow
