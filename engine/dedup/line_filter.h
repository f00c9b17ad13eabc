#pragma once
// The line filter: a regular expression reduces each line to the part that
// is compared (all matches joined, the n-th, or the last). PCRE2 with UTF and
// JIT, options chosen so patterns behave like JavaScript ones.
//
// Texts are UTF-8 that may hold invalid bytes; each invalid byte is one
// character the pattern can match (as "." or "\S" do), and so is each escape
// of decoded text (escaped: see escaped_utf.h). Matches are reported in the
// text's own offsets.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillow {

class LineFilter {
public:
    // nullptr when PCRE2 refuses the pattern (error says why). useJit = false
    // forces the interpreter (the path taken where JIT is unavailable).
    static std::unique_ptr<LineFilter> create(const std::string& pattern, bool ignoreCase, std::string* error = nullptr,
                                              bool useJit = true);
    ~LineFilter();

    // Every non-overlapping match left to right, as (offset, length) in text,
    // with empty matches advancing as JavaScript's global matching does.
    // False when matching fails (match or depth limit, engine error).
    bool execute(std::string_view text, std::vector<std::pair<size_t, size_t>>& matches, bool escaped = false) const;

    // The key of text per selector: -1 the last match, 0 all matches joined,
    // n >= 1 the n-th match or empty. A view into text or into scratch; text
    // itself on any failure (no match for -1, engine error or limit, a
    // selector below -1). Allocates only when several matches are joined.
    std::string_view select(std::string_view text, int selector, std::string& scratch, bool escaped = false) const;

    // True when the pattern runs as JIT-compiled code.
    bool jitCompiled() const;

    // A line can take seconds under a pattern that backtracks at every
    // start position. Between the match attempts of a line that runs for a
    // while, stopped is asked (every few milliseconds); when it says yes the
    // line's matching is abandoned (the key falls back as on any failure)
    // and interrupted() stays true. The filter then belongs to the thread
    // that asks.
    void watch(std::function<bool()> stopped);
    bool interrupted() const;

private:
    LineFilter();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Why PCRE2 refuses pattern, with the offset ("missing closing parenthesis
// at offset 1"); empty when it compiles.
std::string filterPatternError(const std::string& pattern);

}  // namespace quillow
