#pragma once
// The duplicates list of a scan whose entries do not fit in the memory it
// may use, kept the way sort keeps its temporary files: sorted runs in a
// temporary file, merged into one sequence in the list's order, read back a
// block at a time. Keys the list holds as text (a filter joined them) go to
// a temporary file of their own.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dedup/dup_record.h"
#include "engine/io/spill_file.h"
#include "engine/runtime/work.h"

namespace quillow {

class SpilledEntries {
public:
    // Throws SpillError.
    SpilledEntries();

    // Appends records sorted by order(); throws SpillError.
    void addRun(std::span<const DupRecord> run);
    int64_t count() const { return count_; }
    // Merges the runs into one sequence by order(), reading them through
    // buffers of about memory bytes in all (in several rounds when there
    // are too many runs for that). Reports progress as Stage::Sorting;
    // false when work was stopped. Throws SpillError.
    bool merge(int64_t memory, Work& work);
    // The record at index: in the order added, or once merged in the list's
    // order. Each thread reads through a block of its own.
    DupRecord at(int64_t index) const;

private:
    struct Run {
        uint64_t first;  // index of its first record
        uint64_t count;
    };
    // Merges runs [from, to) of the current file into one run of next.
    bool mergeRuns(size_t from, size_t to, size_t bufferRecords, SpillFile& next, Work& work, int64_t& done,
                   int64_t total);

    std::unique_ptr<SpillFile> file_;
    std::vector<Run> runs_;
    int64_t count_ = 0;
    // Names the content for the blocks the threads keep: new with every
    // change, and never the same for two lists.
    uint64_t id_;
};

// Texts appended to a temporary file and read back by where they start.
class SpilledTexts {
public:
    // Throws SpillError.
    SpilledTexts();
    // Where text starts; throws SpillError.
    uint64_t append(std::string_view text);
    // The text at offset, valid on this thread until the next read.
    std::string_view read(uint64_t offset, uint32_t length) const;

private:
    void flush();

    SpillFile file_;
    std::string pending_;  // appended, not yet written
    uint64_t written_ = 0;
};

}  // namespace quillow
