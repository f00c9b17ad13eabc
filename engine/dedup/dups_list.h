#pragma once
// The duplicates list: one small record per occurrence of every key found at
// least twice. Entry texts ("[" + L + "]   " + K) are formatted when asked for;
// keys are views into the source buffer or into the list's own arena. A key
// from the source is in the file's encoding; any other key is decoded text
// (UTF-8, see line_decoder.h); engine/shown_text.h shows both.
#include <memory>
#include <string_view>
#include <vector>

#include "engine/dedup/list_index_error.h"
#include "engine/io/source_lines.h"

namespace quillow {

class DupsList {
public:
    // width: decimal digits of the scanned file's line count.
    DupsList(std::shared_ptr<const SourceLines> source, int width);

    // Appends an occurrence while scanning. line and groupFirst are 0-based
    // line indexes; key is a view into the source buffer or any other text
    // (then copied into the arena).
    void append(uint32_t line, uint32_t groupFirst, std::string_view key);
    // The same for a key that is the source's bytes at offset (a source on disk).
    void appendAt(uint32_t line, uint32_t groupFirst, uint64_t offset, uint32_t length);
    // Room for n entries in all, so that appending them moves nothing.
    void reserve(int64_t n);
    // Orders the entries by group (first occurrence) and line; until then the
    // entries read in their working form, prefixed with the group's index.
    void sort();
    bool sorted() const { return sorted_; }
    // Copies every key out of the source buffer so the source can be freed.
    void detachKeys();
    // The keys are in memory (not read from a file when asked).
    bool keysInMemory() const { return !source_ || !source_->onDisk(); }
    // The file the keys are views into lost pages (source_lines.h).
    bool sourceDamaged() const { return source_ && source_->damaged(); }

    int width() const { return width_; }
    int64_t lineNumber(int64_t index) const { return rec(index).line + int64_t{1}; }
    uint32_t group(int64_t index) const { return rec(index).group; }
    // The key's text; one read from the file stays valid until the next.
    std::string_view key(int64_t index) const;
    // True when the key's bytes are the source's own (in its encoding), not decoded text.
    bool keyFromSource(int64_t index) const;

    int64_t count() const { return static_cast<int64_t>(recs_.size()); }
    // "[" + line number, zero-padded to the width + "]" + three blanks + key.
    std::string text(int64_t index) const;
    // Whether the occurrence is marked for deletion; the list keeps the count.
    bool isSelected(int64_t index) const;
    void setSelected(int64_t index, bool selected);
    // Every entry's flag at once (one per entry, non-zero: selected).
    const std::vector<uint8_t>& selection() const { return selected_; }
    void setSelection(std::vector<uint8_t> flags);
    int64_t selectedCount() const { return selectedCount_; }

private:
#pragma pack(push, 4)
    struct Rec {
        uint32_t line;
        uint32_t group;
        uint64_t keyOffset;  // top bit set: offset into the arena
        uint32_t keyLength;
    };
#pragma pack(pop)
    static constexpr uint64_t kArena = uint64_t{1} << 63;
    static constexpr uint64_t kFromSource = uint64_t{1} << 62;  // in the arena, copied from the source
    const Rec& rec(int64_t index) const;

    std::shared_ptr<const SourceLines> source_;
    int width_;
    BigVector<Rec> recs_;
    std::vector<uint8_t> selected_;
    std::string arena_;
    int64_t selectedCount_ = 0;
    bool sorted_ = false;
};

}  // namespace quillow
