#include "engine/dedup/dups_list.h"

#include <algorithm>

#include "engine/text/text_util.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// Below this many entries a second thread costs more than it saves.
constexpr int64_t kTwoCoresFromEntries = 1 << 16;

// Puts records (and flags, when given) in the list's order. Each group's
// entries arrive in ascending line order, so a stable sort by group gives
// the (group, line) order: counting passes over digits of at most 13 bits
// (their counts stay in the cache), the two halves on two cores, the first
// half's entries first in each digit. After each pass, passDone(pass,
// passes) says whether to go on; false when it said no.
template <typename PassDone>
bool sortRecords(BigVector<DupRecord>& recs, std::vector<bool>* flags, PassDone&& passDone)
{
    const size_t n = recs.size();
    if (n <= 1)
        return true;
    uint32_t maxGroup = 0;
    for (const DupRecord& r : recs)
        maxGroup = std::max(maxGroup, r.group);
    const int bits = maxGroup == 0 ? 1 : 32 - __builtin_clz(maxGroup);
    const int passes = (bits + 12) / 13;
    const int width = (bits + passes - 1) / passes;
    const size_t buckets = size_t{1} << width;
    const bool parallel = worthTwoCores(static_cast<int64_t>(n), kTwoCoresFromEntries);
    const size_t mid = parallel ? n / 2 : n;
    BigVector<DupRecord> tmp(n);
    // Where each record went, for the flags (only when some are set).
    std::vector<uint32_t> from, fromTmp;
    if (flags) {
        from.resize(n);
        fromTmp.resize(n);
        for (size_t i = 0; i < n; ++i)
            from[i] = static_cast<uint32_t>(i);
    }
    std::vector<size_t> at[2] = {std::vector<size_t>(buckets), std::vector<size_t>(buckets)};
    for (int pass = 0; pass < passes; ++pass) {
        const int shift = pass * width;
        auto digit = [&](const DupRecord& r) { return (r.group >> shift) & (buckets - 1); };
        auto halves = [&](auto job) {
            onTwoCores(parallel, [&](int part) {
                job(part, part == 0 ? 0 : mid, part == 0 ? mid : n);
                if (!parallel)
                    job(1, mid, n);
            });
        };
        halves([&](int part, size_t a, size_t b) {
            std::vector<size_t>& counts = at[part];
            std::fill(counts.begin(), counts.end(), 0);
            for (size_t i = a; i < b; ++i)
                ++counts[digit(recs[i])];
        });
        size_t pos = 0;
        for (size_t d = 0; d < buckets; ++d) {
            for (auto& counts : at) {
                const size_t c = counts[d];
                counts[d] = pos;
                pos += c;
            }
        }
        halves([&](int part, size_t a, size_t b) {
            std::vector<size_t>& next = at[part];
            for (size_t i = a; i < b; ++i) {
                const size_t to = next[digit(recs[i])]++;
                tmp[to] = recs[i];
                if (flags)
                    fromTmp[to] = from[i];
            }
        });
        recs.swap(tmp);
        from.swap(fromTmp);
        if (!passDone(pass + 1, passes))
            return false;
    }
    auto before = [](const DupRecord& a, const DupRecord& b) { return a.order() < b.order(); };
    // Entries added by hand may break the arrival order; fall back then.
    if (!std::is_sorted(recs.begin(), recs.end(), before)) {
        std::vector<uint32_t> order(n);
        for (size_t i = 0; i < n; ++i)
            order[i] = static_cast<uint32_t>(i);
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return before(recs[a], recs[b]); });
        for (size_t i = 0; i < n; ++i) {
            tmp[i] = recs[order[i]];
            if (flags)
                fromTmp[i] = from[order[i]];
        }
        recs.swap(tmp);
        from.swap(fromTmp);
    }
    if (flags) {
        std::vector<bool> moved(n);
        for (size_t i = 0; i < n; ++i)
            moved[i] = (*flags)[from[i]];
        flags->swap(moved);
    }
    return true;
}

}  // namespace

DupsList::DupsList(std::shared_ptr<const SourceLines> source, int width)
    : source_(std::move(source)), width_(width)
{
}

DupsList::~DupsList() = default;

void DupsList::keepWithin(int64_t bytes)
{
    // A run and the copy its sort needs.
    runRecords_ = std::max<size_t>(static_cast<size_t>(std::max<int64_t>(bytes, 0)) / (2 * sizeof(DupRecord)), 1024);
    memory_ = bytes;
    if (!spilledArena_) {
        spilledArena_ = std::make_unique<SpilledTexts>();
        spilledArena_->append(arena_);
        std::string().swap(arena_);
    }
    if (recs_.size() >= runRecords_)
        spillRun();
    recs_.reserve(runRecords_);
}

void DupsList::add(const DupRecord& record)
{
    sorted_ = false;
    recs_.push_back(record);
    selected_.push_back(false);
    ++count_;
    if (runRecords_ > 0 && recs_.size() >= runRecords_)
        spillRun();
}

void DupsList::spillRun()
{
    if (!spilled_)
        spilled_ = std::make_unique<SpilledEntries>();
    sortRecords(recs_, nullptr, [](int, int) { return true; });
    spilled_->addRun(recs_);
    recs_.clear();  // the next run fills the same memory
}

void DupsList::append(uint32_t line, uint32_t groupFirst, std::string_view key)
{
    DupRecord r{line, groupFirst, 0, static_cast<uint32_t>(key.size())};
    std::string_view buf = source_ ? source_->bytes() : std::string_view();
    if (!buf.empty() && key.data() >= buf.data() && key.data() + key.size() <= buf.data() + buf.size())
        r.keyOffset = static_cast<uint64_t>(key.data() - buf.data());
    else
        r.keyOffset = textKey(key);
    add(r);
}

uint64_t DupsList::textKey(std::string_view text)
{
    if (spilledArena_)
        return kArena | spilledArena_->append(text);
    const uint64_t at = kArena | arena_.size();
    arena_.append(text);
    return at;
}

void DupsList::adopt(BigVector<DupRecord> records)
{
    recs_ = std::move(records);
    count_ = static_cast<int64_t>(recs_.size());
    selected_.assign(recs_.size(), false);
    selectedCount_ = 0;
    sorted_ = true;
}

void DupsList::appendAt(uint32_t line, uint32_t groupFirst, uint64_t offset, uint32_t length)
{
    add(DupRecord{line, groupFirst, offset, length});
}

void DupsList::reserve(int64_t n)
{
    if (runRecords_ == 0)
        recs_.reserve(static_cast<size_t>(n));
    selected_.reserve(static_cast<size_t>(n));
}

bool DupsList::sort(Work& work)
{
    if (sorted_)
        return true;
    if (spilled_) {
        if (!recs_.empty())
            spillRun();
        BigVector<DupRecord>().swap(recs_);
        if (!spilled_->merge(memory_, work))
            return false;
        sorted_ = true;
        return true;
    }
    std::vector<bool>* flags = selectedCount_ > 0 ? &selected_ : nullptr;
    const auto n = static_cast<int64_t>(recs_.size());
    auto passDone = [&](int pass, int passes) { return !work.report(Stage::Sorting, pass * n, passes * n); };
    if (!sortRecords(recs_, flags, passDone))
        return false;
    sorted_ = true;
    return true;
}

void DupsList::sort()
{
    Work unattended = Work::unattended();
    sort(unattended);
}

void DupsList::detachKeys()
{
    // Only a list in memory over a source in memory has keys to copy.
    std::string_view buf = source_ ? source_->bytes() : std::string_view();
    for (DupRecord& r : recs_) {
        if (r.keyOffset & kArena)
            continue;
        const std::string_view key =
            r.keyOffset == kKeyIsLine ? source_->view(r.line) : buf.substr(r.keyOffset, r.keyLength);
        r.keyOffset = kArena | kFromSource | arena_.size();
        r.keyLength = static_cast<uint32_t>(key.size());
        arena_.append(key);
    }
    source_.reset();
}

void DupsList::outOfRange() { throw ListIndexError("duplicates list: index out of range"); }

DupRecord DupsList::spilledRec(int64_t index) const
{
    if (index < 0 || index >= count_)
        outOfRange();
    if (!spilled_)
        return recs_[static_cast<size_t>(index)];
    // Until sorted, the records added since the last run follow the runs.
    if (index >= spilled_->count())
        return recs_[static_cast<size_t>(index - spilled_->count())];
    return spilled_->at(index);
}

std::string_view DupsList::key(int64_t index) const
{
    const DupRecord r = rec(index);
    if (r.keyOffset == kKeyIsLine)
        return source_->view(r.line);
    if (!(r.keyOffset & kArena))
        return source_->fileBytes(r.keyOffset, r.keyLength);
    const uint64_t at = r.keyOffset & ~(kArena | kFromSource);
    return spilledArena_ ? spilledArena_->read(at, r.keyLength) : std::string_view(arena_).substr(at, r.keyLength);
}

void DupsList::prefetchKey(int64_t index) const
{
    const DupRecord r = rec(index);
    if (r.keyOffset == kKeyIsLine)
        source_->prefetchRecord(r.line);
    else if (!(r.keyOffset & kArena))
        __builtin_prefetch(source_->bytes().data() + r.keyOffset);
}

bool DupsList::keyFromSource(int64_t index) const
{
    const DupRecord r = rec(index);
    return !(r.keyOffset & kArena) || (r.keyOffset & kFromSource);
}

std::string DupsList::text(int64_t index) const
{
    const DupRecord r = rec(index);
    std::string out;
    std::string_view k = key(index);
    out.reserve(static_cast<size_t>(2 * width_) + 5 + k.size());
    if (!sorted_)
        out += padNumber(r.group, width_);
    out += '[';
    out += padNumber(int64_t{r.line} + 1, width_);
    out += "]   ";
    out += k;
    return out;
}

void DupsList::setSelected(int64_t index, bool selected)
{
    const bool was = isSelected(index);
    selectedCount_ += (selected ? 1 : 0) - (was ? 1 : 0);
    selected_[static_cast<size_t>(index)] = selected;
}

void DupsList::setSelection(std::vector<bool> flags)
{
    flags.resize(selected_.size(), false);
    selected_ = std::move(flags);
    selectedCount_ = std::count(selected_.begin(), selected_.end(), true);
}

}  // namespace quillow
