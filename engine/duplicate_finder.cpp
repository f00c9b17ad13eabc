#include "engine/duplicate_finder.h"

#include <algorithm>
#include <array>
#include <chrono>
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
// With kInArena: the arena of the second thread (forms only).
constexpr uint64_t kSecondArena = uint64_t{1} << 62;

// Below this many lines a second thread costs more than it saves.
constexpr int64_t kParallelFrom = 1 << 16;
// Lookups are prefetched this many lines ahead.
constexpr size_t kAhead = 8;

// Key building looks at the clock every this many lines: often where a
// filter may spend milliseconds on a line, rarely where keys are slices.
constexpr int64_t kClockStrideFiltered = 8;
constexpr int64_t kClockStride = 256;

using Clock = std::chrono::steady_clock;

// Counts lines and says when the deadline has passed, looking at the clock
// only every stride lines.
class Deadline {
public:
    Deadline(Clock::time_point at, int64_t stride) : at_(at), stride_(stride), left_(stride) {}
    bool passed()
    {
        if (--left_ != 0)
            return false;
        left_ = stride_;
        return Clock::now() >= at_;
    }

private:
    Clock::time_point at_;
    int64_t stride_;
    int64_t left_;
};

}  // namespace

struct DuplicateFinder::Impl {
    // The text the set compares for an id: the key itself, or (byForm) its
    // form, made by the maker of the set's thread.
    struct KeyOf {
        Impl* impl;
        int part;
        std::string_view operator()(uint32_t id) const
        {
            return impl->byForm ? impl->memberForm(id, part) : impl->memberKey(id);
        }
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
    const bool byForm;    // keys are compared by their forms (KeyMaker)
    // Per thread: a key maker, and two buffers for the forms of members (an
    // equality test may ask for two at a time).
    std::vector<KeyMaker> makers;
    std::array<std::array<std::string, 2>, 2> memberForms;
    std::array<int, 2> lastForm{};

    BigVector<KeyRef> memberKeys;  // per line, when keys are not whole lines
    std::string memberArena;
    BigVector<uint8_t> isDuplicate;  // per line: a group's first occurrence
    std::array<std::unique_ptr<Set>, 2> sets;
    std::array<int64_t, 2> groups{};
    std::array<std::vector<Found>, 2> found;

    // The current range: per line its key, hash and whether it is blank;
    // with byForm also the form looked up (the arenas of both threads).
    std::vector<KeyRef> rangeKeys;
    std::vector<size_t> rangeHashes;
    std::vector<uint8_t> rangeBlank;
    std::string rangeArena;
    std::vector<KeyRef> rangeForms;
    std::array<std::string, 2> formArenas;

    Impl(const SourceLines& s, const KeyRules& r, DupsList& o)
        : src(s), rules(r), out(o), buf(s.bytes()), identity(!r.trim && r.startPos == 0 && r.filter == nullptr),
          // The filter's matcher is not shared between threads.
          parts(r.filter == nullptr && worthTwoCores(s.count(), kParallelFrom) ? 2 : 1),
          byForm(comparedByForm(r))
    {
        if (byForm) {
            makers.reserve(2);
            makers.emplace_back(rules);
            makers.emplace_back(makers[0]);
        }
        const auto n = static_cast<size_t>(src.count());
        if (!identity)
            memberKeys.resize(n);
        isDuplicate.resize(n, 0);
        for (int p = 0; p < parts; ++p) {
            // Forms are compared as bytes.
            sets[static_cast<size_t>(p)] =
                std::make_unique<Set>(byForm ? CompareMode::Binary : rules.mode, KeyOf{this, p});
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

    bool inFile(std::string_view key) const
    {
        return key.data() >= buf.data() && key.data() + key.size() <= buf.data() + buf.size();
    }

    // The form of a member's key: a key outside the file is decoded text.
    std::string_view memberForm(uint32_t id, int part)
    {
        const bool inLine = identity || !(memberKeys[id].offset & kInArena);
        const auto p = static_cast<size_t>(part);
        lastForm[p] ^= 1;
        return makers[p].form(memberKey(id), inLine, memberForms[p][static_cast<size_t>(lastForm[p])]);
    }

    std::string_view rangeForm(size_t idx) const
    {
        const KeyRef& k = rangeForms[idx];
        if (k.offset & kInArena)
            return std::string_view(formArenas[(k.offset & kSecondArena) ? 1 : 0])
                .substr(k.offset & ~(kInArena | kSecondArena), k.length);
        return buf.substr(k.offset, k.length);
    }

    // What the set looks up for a line of the range: its key or its form.
    std::string_view lookedUp(size_t idx) const { return byForm ? rangeForm(idx) : rangeKey(idx); }

    std::string_view rangeKey(size_t idx) const
    {
        const KeyRef& k = rangeKeys[idx];
        if (k.offset & kInArena)
            return std::string_view(rangeArena).substr(k.offset & ~kInArena, k.length);
        return buf.substr(k.offset, k.length);
    }

    Deadline deadlineFrom(Clock::time_point at) const
    {
        return Deadline(at, rules.filter ? kClockStrideFiltered : kClockStride);
    }

    // Keys, hashes and blank flags of lines [a, b) of the range starting at
    // begin; stops early once the deadline has passed. Returns the end of the
    // lines prepared.
    int64_t prepare(int64_t begin, int64_t a, int64_t b, Clock::time_point at)
    {
        std::string scratch;
        const Set& set = *sets[0];
        Deadline deadline = deadlineFrom(at);
        for (int64_t i = a; i < b; ++i) {
            const auto idx = static_cast<size_t>(i - begin);
            std::string_view key = lineKey(rules, src.view(i), scratch);
            if (inFile(key)) {
                rangeKeys[idx] = KeyRef{static_cast<uint64_t>(key.data() - buf.data()), static_cast<uint32_t>(key.size())};
            } else {
                rangeKeys[idx] = KeyRef{kInArena | rangeArena.size(), static_cast<uint32_t>(key.size())};
                rangeArena.append(key);
            }
            rangeBlank[idx] = isBlankOnly(key);
            if (!rangeBlank[idx])
                rangeHashes[idx] = set.hashOf(key);
            if (deadline.passed())
                return i + 1;
        }
        return b;
    }

    // The same with forms, on the thread part (which also owns the range's
    // second half when there are two parts).
    int64_t prepareForms(int64_t begin, int64_t a, int64_t b, int part, Clock::time_point at)
    {
        Deadline deadline = deadlineFrom(at);
        std::string scratch, form;
        KeyMaker& maker = makers[static_cast<size_t>(part)];
        std::string& forms = formArenas[static_cast<size_t>(part)];
        const uint64_t arenaBits = kInArena | (part == 1 ? kSecondArena : 0);
        const Set& set = *sets[0];
        for (int64_t i = a; i < b; ++i) {
            const auto idx = static_cast<size_t>(i - begin);
            const std::string_view key = maker.key(src.view(i), scratch);
            const bool inLine = inFile(key);
            if (inLine) {
                rangeKeys[idx] = KeyRef{static_cast<uint64_t>(key.data() - buf.data()), static_cast<uint32_t>(key.size())};
            } else {
                // Only a filter makes keys outside the file, and it runs on one thread.
                rangeKeys[idx] = KeyRef{kInArena | rangeArena.size(), static_cast<uint32_t>(key.size())};
                rangeArena.append(key);
            }
            rangeBlank[idx] = maker.blank(key, inLine);
            if (!rangeBlank[idx]) {
                const std::string_view f = maker.form(key, inLine, form);
                if (inFile(f)) {
                    rangeForms[idx] =
                        KeyRef{static_cast<uint64_t>(f.data() - buf.data()), static_cast<uint32_t>(f.size())};
                } else {
                    rangeForms[idx] = KeyRef{arenaBits | forms.size(), static_cast<uint32_t>(f.size())};
                    forms.append(f);
                }
                rangeHashes[idx] = set.hashOf(f);
            }
            if (deadline.passed())
                return i + 1;
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
                set.prefetch(HashedKey{lookedUp(idx + kAhead), rangeHashes[idx + kAhead]});
            if (!mine(idx, part))
                continue;
            const auto line = static_cast<uint32_t>(begin + static_cast<int64_t>(idx));
            const std::string_view key = rangeKey(idx);
            const uint32_t first = set.findOrAdd(HashedKey{lookedUp(idx), rangeHashes[idx]}, line, [&] {
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
        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline =
            budget >= Clock::time_point::max() - start ? Clock::time_point::max() : start + budget;
        const auto n = static_cast<size_t>(end - begin);
        rangeKeys.resize(n);
        rangeHashes.resize(n);
        rangeBlank.resize(n);
        rangeArena.clear();
        const int64_t mid = begin + (end - begin) / 2;
        if (byForm) {
            rangeForms.resize(n);
            for (std::string& forms : formArenas)
                forms.clear();
        }
        int64_t reached[2] = {end, end};
        onTwoCores(parts == 2, [&](int part) {
            const int64_t a = parts == 1 || part == 0 ? begin : mid, b = parts == 1 || part == 1 ? end : mid;
            reached[part] = byForm ? prepareForms(begin, a, b, part, deadline) : prepare(begin, a, b, deadline);
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
