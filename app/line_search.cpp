#include "app/line_search.h"

#include <bit>
#include <cctype>

#include "engine/dedup/line_filter.h"

namespace quillow {

namespace {

// Plain text as a pattern: every ASCII character other than a letter or a
// digit is escaped, so it stands for itself.
std::string escapedPattern(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && !std::isalnum(u))
            out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::unique_ptr<LineMatcher> LineMatcher::create(const SearchQuery& query, std::string* error)
{
    std::unique_ptr<LineMatcher> m(new LineMatcher);
    if (query.text.empty())
        return m;
    if (!query.pattern && query.matchCase) {
        m->literal_ = query.text;
        return m;
    }
    m->filter_ =
        LineFilter::create(query.pattern ? query.text : escapedPattern(query.text), !query.matchCase, error);
    if (!m->filter_)
        return nullptr;
    return m;
}

LineMatcher::~LineMatcher() = default;

bool LineMatcher::matches(std::string_view text) const
{
    if (filter_) {
        matches_.clear();
        // Only a match that holds something counts: "x*" would find every row.
        if (!filter_->execute(text, matches_))
            return false;
        for (const auto& m : matches_)
            if (m.second > 0)
                return true;
        return false;
    }
    return !literal_.empty() && text.find(literal_) != std::string_view::npos;
}

SearchHits::SearchHits(int64_t rows) : rows_(rows < 0 ? 0 : rows), bits_(static_cast<size_t>((rows_ + 63) / 64), 0) {}

bool SearchHits::searchBlock(const LineMatcher& matcher, const RowText& rowText, std::string& scratch)
{
    const int64_t from = searched_.load(std::memory_order_relaxed);
    if (from >= rows_)
        return false;
    const int64_t to = std::min(rows_, from + kBlockRows);
    int64_t found = 0;
    for (int64_t row = from; row < to; ++row) {
        if (matcher.matches(rowText(row, scratch))) {
            bits_[static_cast<size_t>(row / 64)] |= uint64_t{1} << (row % 64);
            ++found;
        }
    }
    hits_.fetch_add(found, std::memory_order_relaxed);
    // Blocks are whole words: the words below the new mark are final.
    searched_.store(to, std::memory_order_release);
    return to < rows_;
}

void SearchHits::searchAll(const LineMatcher& matcher, const RowText& rowText, std::stop_token stop)
{
    std::string scratch;
    while (!stop.stop_requested() && searchBlock(matcher, rowText, scratch)) {
    }
}

std::optional<int64_t> SearchHits::nextAfter(int64_t row) const
{
    const int64_t end = searched();
    int64_t from = std::max<int64_t>(row + 1, 0);
    while (from < end) {
        const size_t word = static_cast<size_t>(from / 64);
        const uint64_t bits = bits_[word] >> (from % 64);
        if (bits) {
            const int64_t hit = from + std::countr_zero(bits);
            return hit < end ? std::optional<int64_t>(hit) : std::nullopt;
        }
        from = static_cast<int64_t>(word + 1) * 64;
    }
    return std::nullopt;
}

std::optional<int64_t> SearchHits::previousBefore(int64_t row) const
{
    int64_t last = std::min(row, searched()) - 1;
    while (last >= 0) {
        const size_t word = static_cast<size_t>(last / 64);
        const int shift = 63 - static_cast<int>(last % 64);
        const uint64_t bits = bits_[word] << shift;
        if (bits)
            return last - std::countl_zero(bits);
        last = static_cast<int64_t>(word) * 64 - 1;
    }
    return std::nullopt;
}

int64_t SearchHits::hitsBefore(int64_t row) const
{
    const int64_t end = std::min(row, searched());
    int64_t count = 0;
    const size_t whole = static_cast<size_t>(std::max<int64_t>(end, 0) / 64);
    for (size_t w = 0; w < whole; ++w)
        count += std::popcount(bits_[w]);
    if (const int rest = static_cast<int>(std::max<int64_t>(end, 0) % 64))
        count += std::popcount(bits_[whole] & ((uint64_t{1} << rest) - 1));
    return count;
}

bool SearchHits::isHit(int64_t row) const
{
    return row >= 0 && row < searched() && (bits_[static_cast<size_t>(row / 64)] >> (row % 64) & 1);
}

std::optional<int64_t> nextHit(const SearchHits& hits, int64_t row, bool forward)
{
    const bool complete = hits.complete();
    if (forward) {
        if (auto hit = hits.nextAfter(row))
            return hit;
        if (!complete)
            return std::nullopt;
        if (auto hit = hits.nextAfter(-1))
            return hit;
        return -1;
    }
    // Rows just before row must be searched before the nearest hit is known.
    if (!complete && row > hits.searched())
        return std::nullopt;
    if (auto hit = hits.previousBefore(row))
        return hit;
    // Rows after row may still be unsearched: wait until the wrap can see them.
    if (!complete)
        return std::nullopt;
    if (auto hit = hits.previousBefore(hits.rows()))
        return hit;
    return -1;
}

}  // namespace quillow
