#pragma once
// The line filter: a regular expression reduces each line to the part that
// is compared (all matches joined, the n-th, or the last). PCRE2 with UTF and
// JIT, options chosen so patterns behave like JavaScript ones.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillow {

class Host;
struct ProgramState;

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
    bool execute(std::string_view text, std::vector<std::pair<size_t, size_t>>& matches) const;

    // The key of text per selector: -1 the last match, 0 all matches joined,
    // n >= 1 the n-th match or empty. A view into text or into scratch; text
    // itself on any failure (no match for -1, engine error or limit, a
    // selector below -1). Allocates only when several matches are joined.
    std::string_view select(std::string_view text, int selector, std::string& scratch) const;

    // True when the pattern runs as JIT-compiled code.
    bool jitCompiled() const;

private:
    LineFilter();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Builds state.oRegExp from sRegExp / caseSensitive / iRegExpMatch and sets
// regExpReady and regExpMatch. Reports nothing.
void InitRegExp(ProgramState& state);

// The key of one line per state.regExpMatch. The result is a view into line or
// into scratch. Any failure (no match for -1, engine error) returns line.
std::string_view ApplyRegExp(const ProgramState& state, std::string_view line, std::string& scratch);

// What the options dialog shows when its filter test runs.
struct FilterTestControls {
    bool caseChecked = false;
    bool trimChecked = false;
    std::string startPosText = "0";
    std::string pattern;
    std::string matchText = "0";
};

// The options dialog's filter test: asks for a line (or line=N), shows the
// key the dialog's settings give for it, or the error message.
void TestRegExp(ProgramState& state, Host& host, const FilterTestControls& controls);

}  // namespace quillow
