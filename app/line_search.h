#pragma once
// Find in the lists and the viewer: which rows hold a text or match a
// pattern. A search runs over the rows in order (on a worker, or in slices)
// and marks the rows it finds in a bitmap; the part searched so far can be
// read while it runs, so the first hits show before a long list is done.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace quillow {

class LineFilter;

struct SearchQuery {
    std::string text;      // UTF-8
    bool pattern = false;  // a regular expression (as the line filter reads it), not plain text
    bool matchCase = false;
    bool operator==(const SearchQuery&) const = default;
};

class LineMatcher {
public:
    // nullptr with error set when the pattern does not compile; an empty
    // text matches nothing.
    static std::unique_ptr<LineMatcher> create(const SearchQuery& query, std::string* error = nullptr);
    ~LineMatcher();

    bool matches(std::string_view text) const;

private:
    LineMatcher() = default;
    std::string literal_;                 // case-sensitive plain text
    std::unique_ptr<LineFilter> filter_;  // patterns and text in any case
    mutable std::vector<std::pair<size_t, size_t>> matches_;
};

// Gives row's text (UTF-8) as the list shows it, in scratch or a view of
// the list's own bytes.
using RowText = std::function<std::string_view(int64_t row, std::string& scratch)>;

// The rows a search found. One thread searches (searchBlock), in order from
// row 0; any thread reads what it has searched so far.
class SearchHits {
public:
    static constexpr int64_t kBlockRows = 4096;

    explicit SearchHits(int64_t rows);

    int64_t rows() const { return rows_; }
    // Rows searched, from 0; the hits below it are final.
    int64_t searched() const { return searched_.load(std::memory_order_acquire); }
    bool complete() const { return searched() == rows_; }
    int64_t hitCount() const { return hits_.load(std::memory_order_acquire); }

    // Searches the next block of rows; false once every row is searched.
    bool searchBlock(const LineMatcher& matcher, const RowText& rowText, std::string& scratch);
    // Searches to the end or until stop is requested.
    void searchAll(const LineMatcher& matcher, const RowText& rowText, std::stop_token stop);

    // The first hit after row (forward) or before it (backward) among the
    // rows searched, without wrapping; row may be -1 or rows().
    std::optional<int64_t> nextAfter(int64_t row) const;
    std::optional<int64_t> previousBefore(int64_t row) const;
    // Hits at rows before row, among the rows searched.
    int64_t hitsBefore(int64_t row) const;
    bool isHit(int64_t row) const;

private:
    int64_t rows_;
    std::vector<uint64_t> bits_;
    std::atomic<int64_t> searched_{0};
    std::atomic<int64_t> hits_{0};
};

// Where "find next" goes from row in a finished or running search:
// forward or backward, wrapping round once every row was searched.
// nullopt: no hit yet, and the search may still find one (wait); -1: none.
std::optional<int64_t> nextHit(const SearchHits& hits, int64_t row, bool forward);

}  // namespace quillow
