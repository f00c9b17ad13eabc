#pragma once
// Builds each line's comparison key and finds the keys that occur more than
// once, filling the duplicates list with one entry per occurrence. Works in
// ascending ranges of lines so that the scan can show progress and stop
// between them; large unfiltered files use a second core.
#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/dups_list.h"
#include "engine/keys.h"
#include "engine/source_lines.h"

namespace quillow {

class DuplicateFinder {
public:
    DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out);
    ~DuplicateFinder();
    DuplicateFinder(const DuplicateFinder&) = delete;
    DuplicateFinder& operator=(const DuplicateFinder&) = delete;

    // Lines [begin, end), right after the lines done by the previous call.
    // Building the keys stops early once it has taken about budget (a slow
    // filter), so the caller can show progress and notice Stop; returns the
    // end of the lines done, past begin whenever begin < end.
    int64_t process(int64_t begin, int64_t end,
                    std::chrono::steady_clock::duration budget = std::chrono::steady_clock::duration::max());
    // Keys found at least twice so far.
    int64_t groupCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillow
