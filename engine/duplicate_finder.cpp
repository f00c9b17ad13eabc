#include "engine/duplicate_finder.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/text_util.h"
#include "engine/two_cores.h"

namespace quillow {

namespace {

// Where a key's text lives: in the file's buffer, or (top bit set) in an
// arena of texts that are not slices of the file (joined filter matches).
struct KeyRef {
    uint64_t offset;
    uint32_t length;
};
constexpr uint64_t kInArena = uint64_t{1} << 63;

// Below this many lines a second thread costs more than it saves.
constexpr int64_t kParallelFrom = 1 << 16;
// Lookups are prefetched this many lines ahead.
constexpr size_t kAhead = 8;
// Key building looks at the clock every this many lines: often where a
// filter may spend milliseconds on a line, rarely where keys are slices.
constexpr int64_t kClockStrideFiltered = 8;
constexpr int64_t kClockStride = 256;

using Clock = std::chrono::steady_clock;

}  // namespace

struct DuplicateFinder::Impl {
    struct KeyOf {
        const Impl* impl;
        std::string_view operator()(uint32_t id) const { return impl->memberKey(id); }
    };
    using Set = KeyedSet<KeyOf>;
    struct Found {
        uint32_t line;
        uint32_t group;
        std::string_view key;
    };

    const SourceLines& src;
    const KeyRules rules;
    DupsList& out;
    const std::string_view buf;
    const bool identity;  // every key is its whole line
    const int parts;      // 2: keys are split between two threads by hash

    BigVector<KeyRef> memberKeys;  // per line, when keys are not whole lines
    std::string memberArena;
    BigVector<uint8_t> isDuplicate;  // per line: a group's first occurrence
    std::array<std::unique_ptr<Set>, 2> sets;
    std::array<int64_t, 2> groups{};
    std::array<std::vector<Found>, 2> found;

    // The current range: per line its key, hash and whether it is blank.
    std::vector<KeyRef> rangeKeys;
    std::vector<size_t> rangeHashes;
    std::vector<uint8_t> rangeBlank;
    std::string rangeArena;

    Impl(const SourceLines& s, const KeyRules& r, DupsList& o)
        : src(s), rules(r), out(o), buf(s.bytes()), identity(!r.trim && r.startPos == 0 && r.filter == nullptr),
          // The filter's matcher is not shared between threads.
          parts(r.filter == nullptr && worthTwoCores(s.count(), kParallelFrom) ? 2 : 1)
    {
        const auto n = static_cast<size_t>(src.count());
        if (!identity)
            memberKeys.resize(n);
        isDuplicate.resize(n, 0);
        for (int p = 0; p < parts; ++p) {
            sets[static_cast<size_t>(p)] = std::make_unique<Set>(rules.mode, KeyOf{this});
            sets[static_cast<size_t>(p)]->reserve(parts == 1 ? n : n / 2 + n / 16 + 64);
        }
    }

    std::string_view memberKey(uint32_t id) const
    {
        if (identity)
            return src.view(id);
        const KeyRef& k = memberKeys[id];
        if (k.offset & kInArena)
            return std::string_view(memberArena).substr(k.offset & ~kInArena, k.length);
        return buf.substr(k.offset, k.length);
    }

    std::string_view rangeKey(size_t idx) const
    {
        const KeyRef& k = rangeKeys[idx];
        if (k.offset & kInArena)
            return std::string_view(rangeArena).substr(k.offset & ~kInArena, k.length);
        return buf.substr(k.offset, k.length);
    }

    // Keys, hashes and blank flags of lines [a, b) of the range starting at
    // begin; stops early once deadline has passed. Returns the end of the
    // lines prepared.
    int64_t prepare(int64_t begin, int64_t a, int64_t b, Clock::time_point deadline)
    {
        std::string scratch;
        const Set& set = *sets[0];
        const int64_t stride = rules.filter ? kClockStrideFiltered : kClockStride;
        int64_t untilClock = stride;
        for (int64_t i = a; i < b; ++i) {
            const auto idx = static_cast<size_t>(i - begin);
            std::string_view key = lineKey(rules, src.view(i), scratch);
            if (key.data() >= buf.data() && key.data() + key.size() <= buf.data() + buf.size()) {
                rangeKeys[idx] = KeyRef{static_cast<uint64_t>(key.data() - buf.data()), static_cast<uint32_t>(key.size())};
            } else {
                rangeKeys[idx] = KeyRef{kInArena | rangeArena.size(), static_cast<uint32_t>(key.size())};
                rangeArena.append(key);
            }
            rangeBlank[idx] = isBlankOnly(key);
            if (!rangeBlank[idx])
                rangeHashes[idx] = set.hashOf(key);
            if (--untilClock == 0) {
                if (Clock::now() >= deadline)
                    return i + 1;
                untilClock = stride;
            }
        }
        return b;
    }

    bool mine(size_t idx, int part) const
    {
        return !rangeBlank[idx] && (parts == 1 || static_cast<int>(rangeHashes[idx] >> 63) == part);
    }

    // Looks up the keys of the range that belong to part, in line order.
    void insert(int64_t begin, int64_t end, int part)
    {
        Set& set = *sets[static_cast<size_t>(part)];
        auto& list = found[static_cast<size_t>(part)];
        const auto n = static_cast<size_t>(end - begin);
        for (size_t idx = 0; idx < n; ++idx) {
            if (idx + kAhead < n && mine(idx + kAhead, part))
                set.prefetch(HashedKey{rangeKey(idx + kAhead), rangeHashes[idx + kAhead]});
            if (!mine(idx, part))
                continue;
            const auto line = static_cast<uint32_t>(begin + static_cast<int64_t>(idx));
            const std::string_view key = rangeKey(idx);
            const uint32_t first = set.findOrAdd(HashedKey{key, rangeHashes[idx]}, line, [&] {
                if (identity)
                    return;
                const KeyRef& k = rangeKeys[idx];
                if (k.offset & kInArena) {
                    memberKeys[line] = KeyRef{kInArena | memberArena.size(), k.length};
                    memberArena.append(key);
                } else {
                    memberKeys[line] = k;
                }
            });
            if (first == line)
                continue;
            if (!isDuplicate[first]) {
                isDuplicate[first] = 1;
                list.push_back(Found{first, first, key});
                ++groups[static_cast<size_t>(part)];
            }
            list.push_back(Found{line, first, key});
        }
    }

    int64_t process(int64_t begin, int64_t end, Clock::duration budget)
    {
        const auto n = static_cast<size_t>(end - begin);
        rangeKeys.resize(n);
        rangeHashes.resize(n);
        rangeBlank.resize(n);
        rangeArena.clear();
        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline = budget >= Clock::time_point::max() - start ? Clock::time_point::max()
                                                                                       : start + budget;
        const int64_t mid = begin + (end - begin) / 2;
        int64_t reached[2] = {end, end};
        onTwoCores(parts == 2, [&](int part) {
            if (parts == 1)
                reached[0] = prepare(begin, begin, end, deadline);
            else
                reached[part] = prepare(begin, part == 0 ? begin : mid, part == 0 ? mid : end, deadline);
        });
        // Lines stay in order: a first half cut short drops the second one.
        end = parts == 1 || reached[0] < mid ? reached[0] : reached[1];
        onTwoCores(parts == 2, [&](int part) { insert(begin, end, part); });
        // Entries go to the list in one thread; keys outside the file's
        // buffer are copied there.
        for (auto& list : found) {
            for (const Found& f : list)
                out.append(f.line, f.group, f.key);
            list.clear();
        }
        return end;
    }
};

DuplicateFinder::DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out)
    : impl_(std::make_unique<Impl>(source, rules, out))
{
}

DuplicateFinder::~DuplicateFinder() = default;

int64_t DuplicateFinder::process(int64_t begin, int64_t end, std::chrono::steady_clock::duration budget)
{
    return end > begin ? impl_->process(begin, end, budget) : end;
}

int64_t DuplicateFinder::groupCount() const { return impl_->groups[0] + impl_->groups[1]; }

}  // namespace quillow
