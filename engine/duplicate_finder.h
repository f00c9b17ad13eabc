#pragma once
// Builds each line's comparison key and finds the keys that occur more than
// once, filling the duplicates list with one entry per occurrence. Works in
// ascending ranges of lines so that the scan can show progress and stop
// between them; large unfiltered files use a second core.
#include <cstdint>
#include <memory>

#include "engine/dups_list.h"
#include "engine/keyed_set.h"
#include "engine/source_lines.h"

namespace quillow {

struct ProgramState;

struct KeyRules {
    bool trim = false;       // drop U+0020 blanks at both ends
    int64_t startPos = 0;    // characters dropped at the start
    bool filter = false;     // reduce by the line filter of the program state
    CompareMode mode = CompareMode::Text;
};

// The key of one line under the rules; the result views line or scratch.
std::string_view lineKey(const ProgramState& state, const KeyRules& rules, std::string_view line,
                         std::string& scratch);

class DuplicateFinder {
public:
    // state supplies the line filter when rules.filter is set.
    DuplicateFinder(const SourceLines& source, const KeyRules& rules, const ProgramState& state, DupsList& out);
    ~DuplicateFinder();
    DuplicateFinder(const DuplicateFinder&) = delete;
    DuplicateFinder& operator=(const DuplicateFinder&) = delete;

    // Lines [begin, end), right after the range of the previous call.
    void process(int64_t begin, int64_t end);
    // Keys found at least twice so far.
    int64_t groupCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillow
