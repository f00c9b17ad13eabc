#pragma once
// The duplicates list: one small record per occurrence of every key found at
// least twice. Entry texts ("[" + L + "]   " + K) are formatted when asked for;
// keys are views into the source buffer or into the list's own arena, or the
// entry's whole line, looked up when asked (kKeyIsLine). A key
// from the source is in the file's encoding; any other key is decoded text
// (UTF-8, see line_decoder.h); engine/shown_text.h shows both. A list kept
// within a memory budget moves its records and text keys to temporary files
// (spilled_entries.h) as it grows.
#include <memory>
#include <string_view>
#include <vector>

#include "engine/dedup/dup_record.h"
#include "engine/dedup/list_index_error.h"
#include "engine/dedup/spilled_entries.h"
#include "engine/io/source_lines.h"
#include "engine/runtime/work.h"

namespace quillow {

class DupsList {
public:
    // width: decimal digits of the scanned file's line count.
    DupsList(std::shared_ptr<const SourceLines> source, int width);
    ~DupsList();

    // Keeps the records within about bytes of memory from now on: what
    // goes beyond is written to a temporary file in sorted runs, and text
    // keys go to one of their own. Throws SpillError.
    void keepWithin(int64_t bytes);

    // Appends an occurrence while scanning. line and groupFirst are 0-based
    // line indexes; key is a view into the source buffer or any other text
    // (then copied into the arena).
    void append(uint32_t line, uint32_t groupFirst, std::string_view key);
    // The same for a key that is the source's bytes at offset (a source on disk).
    void appendAt(uint32_t line, uint32_t groupFirst, uint64_t offset, uint32_t length);
    // Room for n entries in all, so that appending them moves nothing.
    void reserve(int64_t n);
    // Keeps a key's text in the list; the keyOffset of a record whose key it is.
    uint64_t textKey(std::string_view text);
    // Takes over every record at once, in the list's order, the list empty before.
    void adopt(BigVector<DupRecord> records);
    // Orders the entries by group (first occurrence) and line; until then the
    // entries read in their working form, prefixed with the group's index.
    // Reports progress as Stage::Sorting; false (the list unsorted) when
    // work was stopped. Throws SpillError for a list on disk.
    bool sort(Work& work);
    void sort();
    bool sorted() const { return sorted_; }
    // Copies every key out of the source buffer so the source can be freed.
    void detachKeys();
    // The records and keys are in memory (not read from files when asked).
    bool keysInMemory() const { return (!source_ || !source_->onDisk()) && !spilled_; }
    // The source's bytes, which keys from the source are views into (in memory).
    std::string_view sourceBytes() const { return source_ ? source_->bytes() : std::string_view(); }
    // The file the keys are views into lost pages (source_lines.h).
    bool sourceDamaged() const { return source_ && source_->damaged(); }

    int width() const { return width_; }
    int64_t lineNumber(int64_t index) const { return rec(index).line + int64_t{1}; }
    uint32_t group(int64_t index) const { return rec(index).group; }
    // The key's text; one read from the file stays valid until the next.
    std::string_view key(int64_t index) const;
    // Hints that key(index) comes soon, a list in memory: what it reads first.
    void prefetchKey(int64_t index) const;
    // True when the key's bytes are the source's own (in its encoding), not decoded text.
    bool keyFromSource(int64_t index) const;

    int64_t count() const { return count_; }
    // "[" + line number, zero-padded to the width + "]" + three blanks + key.
    std::string text(int64_t index) const;
    // Whether the occurrence is marked for deletion; the list keeps the count.
    bool isSelected(int64_t index) const
    {
        if (index < 0 || index >= count_)
            outOfRange();
        return selected_[static_cast<size_t>(index)];
    }
    void setSelected(int64_t index, bool selected);
    // Every entry's flag at once (one per entry, set: selected).
    const std::vector<bool>& selection() const { return selected_; }
    void setSelection(std::vector<bool> flags);
    int64_t selectedCount() const { return selectedCount_; }

private:
    // keyOffset's flags: the key is in the arena, and was copied there from the source.
    static constexpr uint64_t kArena = uint64_t{1} << 63;
    static constexpr uint64_t kFromSource = uint64_t{1} << 62;
    // Read for every entry in turn by selections and saves: the common
    // case, a list in memory, stays inline.
    DupRecord rec(int64_t index) const
    {
        if (spilled_ || index < 0 || index >= count_)
            return spilledRec(index);
        return recs_[static_cast<size_t>(index)];
    }
    // rec() of a list on disk, or of an index outside the list (which throws).
    DupRecord spilledRec(int64_t index) const;
    [[noreturn]] static void outOfRange();
    void add(const DupRecord& record);
    // Sorts the records in memory and writes them out as a run.
    void spillRun();

    std::shared_ptr<const SourceLines> source_;
    int width_;
    // Every record; or, once spilling, those added since the last run.
    BigVector<DupRecord> recs_;
    std::unique_ptr<SpilledEntries> spilled_;
    size_t runRecords_ = 0;  // records of a run, when spilling
    std::vector<bool> selected_;
    std::string arena_;
    std::unique_ptr<SpilledTexts> spilledArena_;
    int64_t count_ = 0;
    int64_t selectedCount_ = 0;
    int64_t memory_ = 0;
    bool sorted_ = false;
};

}  // namespace quillow
