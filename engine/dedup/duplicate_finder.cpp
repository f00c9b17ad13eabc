#include "engine/dedup/duplicate_finder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/dedup/hash_partitions.h"
#include "engine/dedup/key_hash.h"
#include "engine/text/text_util.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

using Clock = std::chrono::steady_clock;

// Where a key lives: in the file's buffer, or (top bit set) in the
// finder's arena of the keys a filter joined from its matches.
#pragma pack(push, 4)
struct KeyRef {
    uint64_t offset;
    uint32_t length;
};
#pragma pack(pop)
constexpr uint64_t kInArena = uint64_t{1} << 63;

// A line in its partition, with the low 32 bits of its key's hash (the
// top bits chose the partition).
struct Pair {
    uint32_t hash;
    uint32_t line;
};

// Below this many lines a second thread costs more than it saves.
constexpr int64_t kParallelFrom = 1 << 16;
// Up to this many lines are grouped as soon as the last one is hashed.
constexpr int64_t kGroupAtOnce = 1 << 16;
// Lines per partition: its table (16 bytes a key at most) stays in the
// second-level cache. More partitions than 2^13 would scatter the lines
// over more places than that cache holds.
constexpr int64_t kPerPartition = 4096;
constexpr int kMaxPartitionBits = 13;
// Grouping fetches the records of lines this far ahead, their keys half as far.
constexpr size_t kAhead = 16;

// Key building looks at the clock every this many lines: often where a
// filter may spend milliseconds on a line, rarely where keys are slices.
constexpr int64_t kClockStrideFiltered = 8;
constexpr int64_t kClockStride = 256;

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

Clock::time_point deadlineAfter(Clock::duration budget)
{
    const Clock::time_point now = Clock::now();
    return budget >= Clock::time_point::max() - now ? Clock::time_point::max() : now + budget;
}

// Lines spread over partitions, each partition's in line order: chunks of
// a pool, linked per partition. The pool is sized for every line at once;
// pages no line reaches are never touched.
class PartitionedLines {
public:
    static constexpr uint32_t kChunkBits = 6;
    static constexpr uint32_t kChunk = 1u << kChunkBits;
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    // The pool's size for lines over 2^bits partitions.
    static size_t poolSize(int bits, int64_t lines)
    {
        return (static_cast<size_t>(lines) / kChunk + (size_t{1} << bits) + 1) * kChunk;
    }

    // Starts over with the pool at pool, of poolSize(bits, lines) pairs.
    void reset(int bits, int64_t lines, Pair* pool)
    {
        const size_t count = size_t{1} << bits;
        const size_t chunks = poolSize(bits, lines) / kChunk;
        pool_ = pool;
        next_.assign(chunks, kNone);
        head_.assign(count, kNone);
        tail_.assign(count, kNone);
        fill_.assign(count, kChunk);
        size_.assign(count, 0);
        used_ = 0;
    }
    void add(uint32_t p, Pair pair)
    {
        if (fill_[p] == kChunk) {
            const auto chunk = static_cast<uint32_t>(used_++);
            (tail_[p] == kNone ? head_[p] : next_[tail_[p]]) = chunk;
            tail_[p] = chunk;
            fill_[p] = 0;
        }
        pool_[(size_t{tail_[p]} << kChunkBits) + fill_[p]++] = pair;
        ++size_[p];
    }
    // Appends partition p's lines, in line order, to to.
    void copyOut(uint32_t p, std::vector<Pair>& to) const
    {
        size_t at = to.size();
        to.resize(at + size_[p]);
        for (uint32_t c = head_[p]; c != kNone; c = next_[c]) {
            const uint32_t n = c == tail_[p] ? fill_[p] : kChunk;
            std::copy_n(&pool_[size_t{c} << kChunkBits], n, &to[at]);
            at += n;
        }
    }

private:
    Pair* pool_ = nullptr;
    std::vector<uint32_t> next_, head_, tail_, fill_, size_;
    size_t used_ = 0;
};

// A group as its thread found it: its first line and its number of
// entries. A thread lists the lines of its groups (its found entries) one
// group after another, in the order it made them, each group's in line
// order; their keys are looked up again when the list is made.
struct FoundGroup {
    uint32_t head;
    uint32_t count;
};
constexpr uint32_t kNoGroup = 0xFFFFFFFF;

// A list that grows by blocks: nothing is moved, and it can be emptied from
// the front while it is read.
template <typename T>
class BlockList {
public:
    static constexpr size_t kBlock = size_t{1} << 16;
    static constexpr size_t kAhead = 16;
    // Adds n items, to be set through operator[].
    void grow(size_t n)
    {
        size_ += n;
        while (blocks_.size() * kBlock < size_)
            blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlock));
    }
    T& operator[](size_t i) { return blocks_[i / kBlock][i % kBlock]; }
    size_t size() const { return size_; }
    // Calls f(item, the item kAhead places on or nullptr) on every item in
    // order, freeing each block once done.
    template <typename F>
    void drain(F&& f)
    {
        for (size_t b = 0; b < blocks_.size(); ++b) {
            const size_t n = std::min(kBlock, size_ - b * kBlock);
            for (size_t i = 0; i < n; ++i) {
                const size_t a = b * kBlock + i + kAhead;
                f(blocks_[b][i], a < size_ ? &blocks_[a / kBlock][a % kBlock] : nullptr);
            }
            blocks_[b].reset();
        }
        blocks_.clear();
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    size_t size_ = 0;
};

}  // namespace

struct DuplicateFinder::Impl {
    enum class Stage { Hashing, Grouping, Done };

    const SourceLines& src;
    const KeyRules rules;
    DupsList& out;
    const HashFn hash;
    const std::string_view buf;
    const int64_t lines;
    const bool byForm;    // keys are compared by their forms (KeyMaker)
    const bool filtered;  // the filter runs once per line: its keys are kept
    const bool wholeLines;  // every key is its whole line, compared as bytes or by case
    const bool xxh3Bytes;   // the hash is keyHash's of bytes: called without a detour
    const bool parallel;
    // Per thread: a key maker, and the two forms an equality test compares.
    std::vector<KeyMaker> makers;
    std::array<std::array<std::string, 2>, 2> forms;
    std::array<std::string, 2> scratch;

    BigVector<KeyRef> keyRefs;  // per line, when filtered
    std::string arena;

    // With two cores each hashes one half of the lines, [0, half) and
    // [half, lines), and files them in partitions of its own: a partition's
    // lines are the first half's, then the second's, in line order.
    const int64_t half;
    std::array<int64_t, 2> next;  // the next line of each half
    const int bits;
    std::array<PartitionedLines, 2> parts;
    // Both halves' pools in one block, which the duplicates list then takes
    // over whole: memory used again rather than fresh pages.
    BigVector<Pair> pool;
    std::atomic<uint32_t> nextPartition{0};
    // Per thread: the partition it groups (its lines, its table, which of
    // its keys have duplicates), and the entries and groups found.
    std::array<std::vector<Pair>, 2> local;
    std::array<HashSlots, 2> tables;
    // Per thread: the group of each line of its partition that has one.
    std::array<std::vector<uint32_t>, 2> groupOf;
    std::array<std::vector<FoundGroup>, 2> foundGroups;
    // Per thread: the pairs of lines whose hashes match, to be compared.
    struct Match {
        uint32_t line, first;  // in the partition's batch
        KeyRef key, firstKey;
    };
    std::array<std::vector<Match>, 2> pending;
    std::array<BlockList<uint32_t>, 2> found;
    // Per thread: the lines a partition found equal to an earlier one (the
    // batch index of that one, and the line), and where each new group's
    // next entry goes.
    struct Joined {
        uint32_t first, line;
    };
    std::array<std::vector<Joined>, 2> joined;
    std::array<std::vector<uint32_t>, 2> places;
    int64_t groupCount = 0;
    Stage stage = Stage::Hashing;

    // lines of which firstPart are hashed by part 0 (all when negative: as
    // the file's size and the rules decide).
    Impl(const SourceLines& s, const KeyRules& r, DupsList& o, HashFn h, int64_t count, int64_t firstPart)
        : src(s), rules(r), out(o), hash(h), buf(s.bytes()), lines(count), byForm(comparedByForm(r)),
          filtered(r.filter != nullptr),
          wholeLines(keysAreWholeLines(r)), xxh3Bytes(h == &keyHash && r.mode == CompareMode::Binary),
          parallel(worthTwoCores(count, kParallelFrom)),
          // The filter's matcher is not shared between threads.
          half(firstPart >= 0 ? firstPart : parallel && !filtered ? count / 2 : count), next{0, half},
          bits(partitionBits(count, kPerPartition, kMaxPartitionBits))
    {
        if (byForm) {
            makers.reserve(2);
            makers.emplace_back(rules);
            makers.emplace_back(makers[0]);
        }
        if (filtered)
            keyRefs.resize(static_cast<size_t>(lines));
        const size_t firstPool = PartitionedLines::poolSize(bits, half);
        pool.resize(firstPool + PartitionedLines::poolSize(bits, lines - half));
        parts[0].reset(bits, half, pool.data());
        parts[1].reset(bits, lines - half, pool.data() + firstPool);
    }

    bool inFile(std::string_view key) const
    {
        return key.data() >= buf.data() && key.data() + key.size() <= buf.data() + buf.size();
    }

    KeyRef refOf(std::string_view key) const
    {
        if (inFile(key))
            return KeyRef{static_cast<uint64_t>(key.data() - buf.data()), static_cast<uint32_t>(key.size())};
        return KeyRef{kInArena | static_cast<uint64_t>(key.data() - arena.data()), static_cast<uint32_t>(key.size())};
    }

    std::string_view keyAt(const KeyRef& k) const
    {
        return k.offset & kInArena ? std::string_view(arena).substr(k.offset & ~kInArena, k.length)
                                   : buf.substr(k.offset, k.length);
    }

    // The key of a line as listed; inLine tells whether it is bytes of the
    // line (else decoded text the filter made).
    std::string_view keyOf(uint32_t line, int part, bool& inLine)
    {
        if (filtered) {
            const KeyRef& k = keyRefs[line];
            inLine = !(k.offset & kInArena);
            return keyAt(k);
        }
        inLine = true;
        const std::string_view view = src.view(line);
        std::string& unused = scratch[static_cast<size_t>(part)];  // only a filter writes there
        return byForm ? makers[static_cast<size_t>(part)].key(view, unused) : lineKey(rules, view, unused);
    }

    // Where the key of a line lies, as an entry records it.
    KeyRef keyRefOf(uint32_t line, int part)
    {
        if (filtered)
            return keyRefs[line];
        if (wholeLines) {
            const std::string_view view = src.viewInMemory(line);
            return KeyRef{static_cast<uint64_t>(view.data() - buf.data()), static_cast<uint32_t>(view.size())};
        }
        bool inLine = true;
        return refOf(keyOf(line, part, inLine));
    }

    // Fetches what keyOf(line) reads first: its record, then its bytes.
    void prefetchRecord(uint32_t line) const
    {
        if (filtered)
            __builtin_prefetch(&keyRefs[line]);
        else
            src.prefetchRecord(line);
    }
    void prefetchKey(uint32_t line) const
    {
        if (!filtered) {
            src.prefetchText(line);
        } else if (const KeyRef& k = keyRefs[line]; !(k.offset & kInArena)) {
            __builtin_prefetch(buf.data() + k.offset);
        }
    }

    // Hashes the keys of lines [a, b) and files them in part's partitions;
    // stops early once the deadline has passed. Returns the end of the
    // lines done.
    int64_t hashLines(int64_t a, int64_t b, int part, Clock::time_point at)
    {
        Deadline deadline(at, filtered ? kClockStrideFiltered : kClockStride);
        std::string keyScratch, form;
        PartitionedLines& filed = parts[static_cast<size_t>(part)];
        for (int64_t i = a; i < b; ++i) {
            const std::string_view view = src.viewInMemory(i);
            const std::string_view key = wholeLines ? view
                                         : byForm   ? makers[static_cast<size_t>(part)].key(view, keyScratch)
                                                    : lineKey(rules, view, keyScratch);
            bool inLine = true;
            if (filtered) {
                // A stop came in the middle of this line: its key cannot stand.
                if (rules.filter->interrupted())
                    return i;
                // The filter runs on one thread: the arena needs no lock.
                inLine = inFile(key);
                if (inLine) {
                    keyRefs[static_cast<size_t>(i)] = refOf(key);
                } else {
                    keyRefs[static_cast<size_t>(i)] = KeyRef{kInArena | arena.size(), static_cast<uint32_t>(key.size())};
                    arena.append(key);
                }
            }
            bool blank = true;
            uint64_t h = 0;
            if (byForm) {
                KeyMaker& maker = makers[static_cast<size_t>(part)];
                blank = maker.blank(key, inLine);
                if (!blank)
                    h = hash(CompareMode::Binary, maker.form(key, inLine, form));
            } else {
                blank = isBlankOnly(key);
                if (!blank)
                    h = xxh3Bytes ? XXH3_64bits(key.data(), key.size()) : hash(rules.mode, key);
            }
            if (!blank)
                filed.add(partitionOf(h, bits), Pair{static_cast<uint32_t>(h), static_cast<uint32_t>(i)});
            if (deadline.passed())
                return i + 1;
        }
        return b;
    }

    // Hashes the next end - begin lines, half from each half of the file on
    // two cores (the rest of one half when the other is done).
    int64_t process(int64_t begin, int64_t end, Clock::duration budget)
    {
        const Clock::time_point at = deadlineAfter(budget);
        const std::array<int64_t, 2> stop{half, lines};
        const std::array<int64_t, 2> left{stop[0] - next[0], stop[1] - next[1]};
        const int64_t want = end - begin;
        std::array<int64_t, 2> take{std::min(left[0], want - std::min(left[1], want / 2)), 0};
        take[1] = std::min(left[1], want - take[0]);
        const bool split = take[0] > 0 && take[1] > 0;
        onTwoCores(split, [&](int part) {
            for (int t = split ? part : 0; t <= (split ? part : 1); ++t) {
                const auto u = static_cast<size_t>(t);
                if (take[u] > 0)
                    next[u] = hashLines(next[u], next[u] + take[u], t, at);
            }
        });
        const int64_t done = next[0] + next[1] - half;
        if (done == lines && lines <= kGroupAtOnce)
            finish(Clock::duration::max());
        return done;
    }

    // Groups one partition: a line whose key is in the table joins the
    // group of the line there, and both become entries. Lines are first
    // matched by hash alone, which reads nothing but the partition; then the
    // keys of each matched pair are compared, all fetched well ahead, so
    // that their far-apart places in the file are read at the same time
    // rather than one after the other. A pair whose keys differ (hashes that
    // collide) sends the partition to groupComparing.
    void group(uint32_t p, int part)
    {
        const auto t = static_cast<size_t>(part);
        std::vector<Pair>& batch = local[t];
        batch.clear();
        parts[0].copyOut(p, batch);
        parts[1].copyOut(p, batch);
        const size_t n = batch.size();
        HashSlots& table = tables[t];
        table.reset(n);
        // The pairs to compare: a line and the first line of its hash.
        std::vector<Match>& matches = pending[t];
        matches.clear();
        for (size_t k = 0; k < n; ++k) {
            const auto first = table.findOrAdd(batch[k].hash, static_cast<uint32_t>(k), [](uint32_t) { return true; });
            if (first != k)
                matches.push_back(Match{static_cast<uint32_t>(k), first, {}, {}});
        }
        if (matches.empty())
            return;
        // The keys of both lines of each pair: their records fetched ahead...
        constexpr size_t kRecordsAhead = 32, kKeysAhead = 16;
        for (size_t m = 0; m < matches.size(); ++m) {
            if (m + kRecordsAhead < matches.size()) {
                prefetchRecord(batch[matches[m + kRecordsAhead].line].line);
                prefetchRecord(batch[matches[m + kRecordsAhead].first].line);
            }
            Match& match = matches[m];
            match.key = keyRefOf(batch[match.line].line, part);
            match.firstKey = keyRefOf(batch[match.first].line, part);
        }
        // ...then their texts, and compared.
        for (size_t m = 0; m < matches.size(); ++m) {
            if (m + kKeysAhead < matches.size()) {
                const Match& ahead = matches[m + kKeysAhead];
                prefetchText(ahead.key);
                prefetchText(ahead.firstKey);
            }
            const Match& match = matches[m];
            if (!sameKeys(match.key, match.firstKey, part))
                return groupComparing(batch, part);
        }
        std::vector<Joined>& lines = joined[t];
        lines.clear();
        for (const Match& match : matches)
            lines.push_back(Joined{match.first, batch[match.line].line});
        listGroups(part, batch);
    }

    // Makes the groups of the partition's joined lines and lists their
    // entries, each group's after one another: its first line, then the
    // lines that joined it, in line order.
    void listGroups(int part, const std::vector<Pair>& batch)
    {
        const auto t = static_cast<size_t>(part);
        std::vector<uint32_t>& group = groupOf[t];
        std::vector<FoundGroup>& groups = foundGroups[t];
        group.assign(batch.size(), kNoGroup);
        const size_t before = groups.size();
        for (const Joined& j : joined[t]) {
            if (group[j.first] == kNoGroup) {
                group[j.first] = static_cast<uint32_t>(groups.size());
                groups.push_back(FoundGroup{batch[j.first].line, 1});
            }
            ++groups[group[j.first]].count;
        }
        BlockList<uint32_t>& entries = found[t];
        std::vector<uint32_t>& next = places[t];
        next.resize(groups.size() - before);
        size_t at = entries.size();
        for (size_t g = before; g < groups.size(); ++g) {
            next[g - before] = static_cast<uint32_t>(at - entries.size());
            at += groups[g].count;
        }
        const size_t base = entries.size();
        entries.grow(at - base);
        for (size_t g = before; g < groups.size(); ++g)
            entries[base + next[g - before]++] = groups[g].head;
        for (const Joined& j : joined[t])
            entries[base + next[group[j.first] - before]++] = j.line;
    }

    // Groups a partition comparing keys wherever hashes are equal: the
    // table's first line of a hash may have another key than a later line.
    // The keys compared are fetched a few lines ahead, found by a look at
    // the table that changes nothing.
    void groupComparing(const std::vector<Pair>& batch, int part)
    {
        const auto t = static_cast<size_t>(part);
        const size_t n = batch.size();
        HashSlots& table = tables[t];
        table.reset(n);
        std::vector<Joined>& lines = joined[t];
        lines.clear();
        for (size_t k = 0; k < n; ++k) {
            if (k + kAhead < n) {
                const Pair& ahead = batch[k + kAhead];
                if (const int64_t c = table.peek(ahead.hash); c >= 0) {
                    prefetchRecord(ahead.line);
                    prefetchRecord(batch[static_cast<size_t>(c)].line);
                }
            }
            if (k + kAhead / 2 < n) {
                const Pair& ahead = batch[k + kAhead / 2];
                if (const int64_t c = table.peek(ahead.hash); c >= 0) {
                    prefetchKey(ahead.line);
                    prefetchKey(batch[static_cast<size_t>(c)].line);
                }
            }
            const Pair& pair = batch[k];
            std::string_view key;
            bool inLine = true;
            const auto first = static_cast<size_t>(table.findOrAdd(pair.hash, static_cast<uint32_t>(k), [&](uint32_t other) {
                if (key.data() == nullptr)
                    key = keyOf(pair.line, part, inLine);
                return same(batch[other].line, key, inLine, part);
            }));
            if (first == k)
                continue;
            lines.push_back(Joined{static_cast<uint32_t>(first), pair.line});
        }
        listGroups(part, batch);
    }


    void prefetchText(const KeyRef& k) const
    {
        const char* at = k.offset & kInArena ? arena.data() + (k.offset & ~kInArena) : buf.data() + k.offset;
        __builtin_prefetch(at);
        __builtin_prefetch(at + k.length);  // a key often spans two cache lines
    }

    // Whether two keys where refs put them are equal under the rules.
    bool sameKeys(const KeyRef& a, const KeyRef& b, int part)
    {
        const std::string_view x = keyAt(a), y = keyAt(b);
        if (!byForm)
            return sameKey(rules.mode, x, y);
        KeyMaker& maker = makers[static_cast<size_t>(part)];
        auto& f = forms[static_cast<size_t>(part)];
        return maker.form(x, !(a.offset & kInArena), f[0]) == maker.form(y, !(b.offset & kInArena), f[1]);
    }

    // Whether line's key equals key (of a line, when inLine).
    bool same(uint32_t line, std::string_view key, bool inLine, int part)
    {
        bool in = true;
        const std::string_view other = keyOf(line, part, in);
        if (!byForm)
            return sameKey(rules.mode, other, key);
        KeyMaker& maker = makers[static_cast<size_t>(part)];
        auto& f = forms[static_cast<size_t>(part)];
        return maker.form(other, in, f[0]) == maker.form(key, inLine, f[1]);
    }

    // Groups partitions on both cores until the deadline (one each at
    // least); true when all are grouped.
    bool groupPartitions(Clock::time_point at)
    {
        const uint32_t count = uint32_t{1} << bits;
        onTwoCores(parallel, [&](int part) {
            do {
                const uint32_t p = nextPartition.fetch_add(1);
                if (p >= count)
                    return;
                group(p, part);
            } while (Clock::now() < at);
        });
        return nextPartition.load() >= count;
    }

    bool finish(Clock::duration budget)
    {
        const Clock::time_point at = deadlineAfter(budget);
        if (stage == Stage::Hashing) {
            if (next[0] < half || next[1] < lines)
                return false;
            stage = Stage::Grouping;
        }
        if (stage == Stage::Grouping && groupPartitions(at)) {
            BigVector<Pair>().swap(pool);
            list();
            stage = Stage::Done;
        }
        return stage == Stage::Done;
    }

    // Puts the entries found straight where they go in the list, which needs
    // no sort then: the groups in the order of their first lines, each
    // group's entries (found in line order by one thread) after one another.
    void list()
    {
        // The groups in the order of their first lines without a sort: a
        // bit per line marks the first lines, and a group's place in that
        // order is the number of marks before its own.
        const auto words = static_cast<size_t>(lines / 64 + 1);
        std::vector<uint64_t> isHead(words, 0);
        for (const std::vector<FoundGroup>& groups : foundGroups)
            for (const FoundGroup& g : groups)
                isHead[g.head / 64] |= uint64_t{1} << (g.head % 64);
        std::vector<uint32_t> marksBefore(words);
        uint32_t marks = 0;
        for (size_t w = 0; w < words; ++w) {
            marksBefore[w] = marks;
            marks += static_cast<uint32_t>(__builtin_popcountll(isHead[w]));
        }
        groupCount = marks;
        // Each group's place, then where its entries start. The groups come
        // in the order their threads made them, which scatters these looks
        // over the tables: each is fetched well ahead.
        constexpr size_t kAheadOf = 16;
        std::vector<uint32_t> start(marks + size_t{1}, 0);
        std::array<std::vector<uint32_t>, 2> placeOf;
        onTwoCores(parallel, [&](int part) {
            for (auto t = static_cast<size_t>(parallel ? part : 0); t <= static_cast<size_t>(parallel ? part : 1); ++t) {
                const std::vector<FoundGroup>& groups = foundGroups[t];
                std::vector<uint32_t>& place = placeOf[t];
                place.resize(groups.size());
                for (size_t g = 0; g < groups.size(); ++g) {
                    if (g + kAheadOf < groups.size()) {
                        const uint32_t ahead = groups[g + kAheadOf].head;
                        __builtin_prefetch(&isHead[ahead / 64]);
                        __builtin_prefetch(&marksBefore[ahead / 64]);
                    }
                    const uint32_t head = groups[g].head;
                    const uint64_t below = isHead[head / 64] & ((uint64_t{1} << (head % 64)) - 1);
                    place[g] = marksBefore[head / 64] + static_cast<uint32_t>(__builtin_popcountll(below));
                }
                // Places are unique: the threads write different counts.
                for (size_t g = 0; g < groups.size(); ++g) {
                    if (g + kAheadOf < groups.size())
                        __builtin_prefetch(&start[place[g + kAheadOf] + size_t{1}], 1);
                    start[place[g] + size_t{1}] = groups[g].count;
                }
            }
        });
        std::vector<uint64_t>().swap(isHead);
        std::vector<uint32_t>().swap(marksBefore);
        for (size_t r = 1; r <= marks; ++r)
            start[r] += start[r - 1];
        const uint32_t at = start[marks];
        BigVector<DupRecord> records(at);
        // The threads' entries go to places of their own; keys the filter
        // made are copied into the list, on one thread.
        const bool split = parallel && !filtered;
        onTwoCores(split, [&](int part) {
            for (auto t = static_cast<size_t>(split ? part : 0); t <= static_cast<size_t>(split ? part : 1); ++t) {
                const std::vector<FoundGroup>& groups = foundGroups[t];
                std::vector<uint32_t>& place = placeOf[t];
                for (size_t g = 0; g < groups.size(); ++g) {
                    if (g + kAheadOf < groups.size())
                        __builtin_prefetch(&start[place[g + kAheadOf]]);
                    place[g] = start[place[g]];
                }
                // A group's entries follow one another in found and in the
                // list. Every entry shows its own line's key, the first one
                // too. A whole-line key is the line itself; any other is
                // found from the line's record, fetched a little ahead. The
                // list's places of groups ahead are fetched too.
                size_t g = 0;
                uint32_t to = 0, left = 0, head = 0;
                found[t].drain([&](uint32_t line, const uint32_t* ahead) {
                    if (ahead && !wholeLines)
                        prefetchRecord(*ahead);
                    if (left == 0) {
                        if (g + kAheadOf < groups.size())
                            __builtin_prefetch(&records[place[g + kAheadOf]], 1);
                        to = place[g];
                        left = groups[g].count;
                        head = groups[g].head;
                        ++g;
                    }
                    if (wholeLines) {
                        records[to++] = DupRecord{line, head, kKeyIsLine, 0};
                    } else {
                        const KeyRef k = keyRefOf(line, part);
                        const uint64_t key = k.offset & kInArena ? out.textKey(keyAt(k)) : k.offset;
                        records[to++] = DupRecord{line, head, key, k.length};
                    }
                    --left;
                });
            }
        });
        out.adopt(std::move(records));
    }
};

class DuplicateFinder::Hasher : public SourceLines::LineSink {
public:
    explicit Hasher(Impl& impl) : impl_(impl) {}
    void recorded(int part, int64_t first, int64_t count) override
    {
        impl_.next[static_cast<size_t>(part)] =
            impl_.hashLines(first, first + count, part, std::chrono::steady_clock::time_point::max());
    }

private:
    Impl& impl_;
};

DuplicateFinder::DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out, HashFn hash)
    : impl_(std::make_unique<Impl>(source, rules, out, hash, source.count(), -1))
{
}

DuplicateFinder::DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out, int64_t lines,
                                 int64_t firstPart, HashFn hash)
    : impl_(std::make_unique<Impl>(source, rules, out, hash, lines, firstPart)),
      hasher_(std::make_unique<Hasher>(*impl_))
{
}

DuplicateFinder::~DuplicateFinder() = default;

SourceLines::LineSink* DuplicateFinder::hasher() { return hasher_.get(); }

int64_t DuplicateFinder::process(int64_t begin, int64_t end, Duration budget)
{
    return end > begin ? impl_->process(begin, end, budget) : end;
}

bool DuplicateFinder::finish(Duration budget) { return impl_->finish(budget); }

int64_t DuplicateFinder::groupCount() const { return impl_->groupCount; }

int64_t DuplicateFinder::partitionsGrouped() const
{
    return std::min<int64_t>(impl_->nextPartition.load(), partitionCount());
}

int64_t DuplicateFinder::partitionCount() const { return int64_t{1} << impl_->bits; }

}  // namespace quillow
