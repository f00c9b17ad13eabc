#pragma once
// Builds each line's comparison key and finds the keys that occur more than
// once, filling the duplicates list with one entry per occurrence.
//
// Two steps. process() hashes the keys of the lines a number at a time, so
// that the scan can show progress and stop in between, and files each line
// in a partition by its hash (in line order). finish() then groups each
// partition with a table that stays in the processor's cache, comparing
// keys only where hashes are equal, and lists the entries. Large files use a
// second core for both steps (unfiltered keys for the first: each core
// hashes one half of the file). Keys without a filter may also be hashed
// while the source records its lines (hasher()), which reads each line's
// bytes once rather than twice.
#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/dedup/dups_list.h"
#include "engine/dedup/keys.h"
#include "engine/io/source_lines.h"

namespace quillow {

class DuplicateFinder {
public:
    using Duration = std::chrono::steady_clock::duration;

    using HashFn = uint64_t (*)(CompareMode mode, std::string_view key);

    // hash: keyHash, or (tests) one that makes keys collide.
    DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out, HashFn hash = &keyHash);
    // For lines the source is about to record (lines in all, the first
    // firstPart of them its part 0), hashed as they are recorded: pass
    // hasher() to SourceLines::addAllLines. Rules without a filter.
    DuplicateFinder(const SourceLines& source, const KeyRules& rules, DupsList& out, int64_t lines,
                    int64_t firstPart, HashFn hash = &keyHash);
    SourceLines::LineSink* hasher();
    ~DuplicateFinder();
    DuplicateFinder(const DuplicateFinder&) = delete;
    DuplicateFinder& operator=(const DuplicateFinder&) = delete;

    // The next end - begin lines, where begin counts the lines done by the
    // previous calls. Building the keys stops early once it has taken about
    // budget (a slow filter), so the caller can show progress and notice
    // Stop; returns begin plus the lines done, past begin whenever
    // begin < end unless a watched filter was interrupted (the work must
    // then stop). A small file is grouped as soon as its last line is done.
    int64_t process(int64_t begin, int64_t end, Duration budget = Duration::max());
    // Once every line is done: groups and lists for about budget; true when
    // the duplicates list is complete.
    bool finish(Duration budget = Duration::max());
    // Keys found at least twice (once finished).
    int64_t groupCount() const;
    // How far finish() has come: partitions grouped of all.
    int64_t partitionsGrouped() const;
    int64_t partitionCount() const;

private:
    struct Impl;
    class Hasher;
    std::unique_ptr<Impl> impl_;
    std::unique_ptr<Hasher> hasher_;
};

}  // namespace quillow
