#include "engine/dedup/dups_list.h"

#include <algorithm>

#include "engine/text/text_util.h"
#include "engine/work/two_cores.h"

namespace quillow {

namespace {

// Below this many entries a second thread costs more than it saves.
constexpr int64_t kTwoCoresFromEntries = 1 << 16;

}  // namespace

DupsList::DupsList(std::shared_ptr<const SourceLines> source, int width)
    : source_(std::move(source)), width_(width)
{
}

void DupsList::append(uint32_t line, uint32_t groupFirst, std::string_view key)
{
    Rec r{line, groupFirst, 0, static_cast<uint32_t>(key.size())};
    std::string_view buf = source_ ? source_->bytes() : std::string_view();
    if (!buf.empty() && key.data() >= buf.data() && key.data() + key.size() <= buf.data() + buf.size()) {
        r.keyOffset = static_cast<uint64_t>(key.data() - buf.data());
    } else {
        r.keyOffset = kArena | arena_.size();
        arena_.append(key);
    }
    recs_.push_back(r);
    selected_.push_back(0);
}

void DupsList::appendAt(uint32_t line, uint32_t groupFirst, uint64_t offset, uint32_t length)
{
    recs_.push_back(Rec{line, groupFirst, offset, length});
    selected_.push_back(0);
}

void DupsList::reserve(int64_t n)
{
    recs_.reserve(static_cast<size_t>(n));
    selected_.reserve(static_cast<size_t>(n));
}

void DupsList::sort()
{
    // Each group's entries arrive in ascending line order, so a stable sort
    // by group gives the (group, line) order: counting passes over digits of
    // at most 13 bits (their counts stay in the cache), the two halves of
    // the list on two cores, the first half's entries first in each digit.
    const size_t n = recs_.size();
    if (n > 1) {
        uint32_t maxGroup = 0;
        for (const Rec& r : recs_)
            maxGroup = std::max(maxGroup, r.group);
        const int bits = maxGroup == 0 ? 1 : 32 - __builtin_clz(maxGroup);
        const int passes = (bits + 12) / 13;
        const int width = (bits + passes - 1) / passes;
        const size_t buckets = size_t{1} << width;
        const bool parallel = worthTwoCores(static_cast<int64_t>(n), kTwoCoresFromEntries);
        const size_t mid = parallel ? n / 2 : n;
        BigVector<Rec> tmp(n);
        std::vector<uint8_t> selTmp(n);
        std::vector<size_t> at[2] = {std::vector<size_t>(buckets), std::vector<size_t>(buckets)};
        for (int pass = 0; pass < passes; ++pass) {
            const int shift = pass * width;
            auto digit = [&](const Rec& r) { return (r.group >> shift) & (buckets - 1); };
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
                    ++counts[digit(recs_[i])];
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
                    const size_t to = next[digit(recs_[i])]++;
                    tmp[to] = recs_[i];
                    selTmp[to] = selected_[i];
                }
            });
            recs_.swap(tmp);
            selected_.swap(selTmp);
        }
        // Entries added by hand may break the arrival order; fall back then.
        bool ordered = std::is_sorted(recs_.begin(), recs_.end(), [](const Rec& a, const Rec& b) {
            return a.group != b.group ? a.group < b.group : a.line < b.line;
        });
        if (!ordered) {
            std::vector<size_t> order(recs_.size());
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                const Rec& x = recs_[a];
                const Rec& y = recs_[b];
                return x.group != y.group ? x.group < y.group : x.line < y.line;
            });
            for (size_t i = 0; i < order.size(); ++i) {
                tmp[i] = recs_[order[i]];
                selTmp[i] = selected_[order[i]];
            }
            recs_.swap(tmp);
            selected_.swap(selTmp);
        }
    }
    sorted_ = true;
}

void DupsList::detachKeys()
{
    std::string_view buf = source_ ? source_->bytes() : std::string_view();
    for (Rec& r : recs_) {
        if (r.keyOffset & kArena)
            continue;
        uint64_t off = kArena | kFromSource | arena_.size();
        arena_.append(buf.substr(r.keyOffset, r.keyLength));
        r.keyOffset = off;
    }
    source_.reset();
}

const DupsList::Rec& DupsList::rec(int64_t index) const
{
    if (index < 0 || index >= static_cast<int64_t>(recs_.size()))
        throw ListIndexError("duplicates list: index out of range");
    return recs_[static_cast<size_t>(index)];
}

std::string_view DupsList::key(int64_t index) const
{
    const Rec& r = rec(index);
    if (r.keyOffset & kArena)
        return std::string_view(arena_).substr(r.keyOffset & ~(kArena | kFromSource), r.keyLength);
    return source_->fileBytes(r.keyOffset, r.keyLength);
}

bool DupsList::keyFromSource(int64_t index) const
{
    const Rec& r = rec(index);
    return !(r.keyOffset & kArena) || (r.keyOffset & kFromSource);
}

std::string DupsList::text(int64_t index) const
{
    const Rec& r = rec(index);
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

bool DupsList::isSelected(int64_t index) const
{
    rec(index);
    return selected_[static_cast<size_t>(index)] != 0;
}

void DupsList::setSelected(int64_t index, bool selected)
{
    rec(index);
    uint8_t& flag = selected_[static_cast<size_t>(index)];
    selectedCount_ += (selected ? 1 : 0) - flag;
    flag = selected ? 1 : 0;
}

void DupsList::setSelection(std::vector<uint8_t> flags)
{
    flags.resize(selected_.size(), 0);
    int64_t count = 0;
    for (uint8_t& f : flags) {
        f = f != 0;
        count += f;
    }
    selected_ = std::move(flags);
    selectedCount_ = count;
}

}  // namespace quillow
