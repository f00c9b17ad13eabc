#pragma once
// Builds each line's comparison key and finds the keys that occur more than
// once, filling the duplicates list with one entry per occurrence. Works in
// ascending ranges of lines so that the scan can show progress and stop
// between them; large unfiltered files use a second core.
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

    // Lines [begin, end), right after the range of the previous call.
    void process(int64_t begin, int64_t end);
    // Keys found at least twice so far.
    int64_t groupCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillow
