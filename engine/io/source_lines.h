#pragma once
// The source list: every line of the scanned file, in one buffer with an
// offset and length per line, so that tens of millions of lines cost a few
// bytes each instead of a heap string each. Lines are byte ranges of the file
// in its own encoding; where they end is line_splitter.h's rule.
#include <memory>
#include <string_view>
#include <vector>

#include "engine/runtime/big_allocator.h"
#include "engine/io/file_bytes.h"
#include "engine/io/line_file.h"
#include "engine/text/line_splitter.h"
#include "engine/dedup/list_index_error.h"

namespace quillow {

class SourceLines {
public:
    SourceLines() = default;
    // Takes the file's bytes; the text starts at textStart (after a
    // byte-order mark) and its line ends are units of unit. The lines are
    // added with addAllLines.
    SourceLines(FileBytes bytes, size_t textStart, CodeUnit unit);
    // The bytes split at once by the majority rule (small texts, tests).
    explicit SourceLines(std::string_view bytes, CodeUnit unit = CodeUnit::Byte);
    // The lines of a file that stays on disk: read from it when asked.
    explicit SourceLines(std::shared_ptr<const LineFile> file, CodeUnit unit, LineEndMode mode);
    // Told about lines as they are recorded, a batch at a time, on the
    // thread that records them (part 0: the lines before the layout's
    // middle; part 1: the rest), while their bytes are still in the cache.
    // Reads them with viewInMemory, which the file's size allows only below
    // 4 GiB (the high bits of later starts are settled at the end).
    class LineSink {
    public:
        virtual ~LineSink() = default;
        virtual void recorded(int part, int64_t first, int64_t count) = 0;
    };
    // Records every line of the text as layOutLines measured it, the two
    // halves on two cores when parallel; tells sink (if any) about them.
    void addAllLines(const LineLayout& layout, bool parallel, LineSink* sink = nullptr);

    int64_t count() const { return count_; }
    // The line's bytes as read, without its end; throws ListIndexError
    // outside the list or after release(). Read from the file (onDisk), a
    // view stays valid until a few more lines are read.
    std::string_view view(int64_t index) const;
    std::string text(int64_t index) const { return std::string(view(index)); }
    // view(index) of a list in memory, for an index known to be within it:
    // no checks, for loops over every line.
    std::string_view viewInMemory(int64_t index) const
    {
        return std::string_view(buf_.data() + offsetOf(index), lines_[static_cast<size_t>(index)].length);
    }
    // The bytes that ended the line in the file (LF, CR LF, CR ... in the
    // file's units); empty for a last line without an end.
    std::string_view lineEnd(int64_t index) const;
    // Hints that view(index) comes soon: its record, then (once the record
    // is there) its bytes. Index must be within the list.
    void prefetchRecord(int64_t index) const { __builtin_prefetch(&lines_[static_cast<size_t>(index)]); }
    void prefetchText(int64_t index) const
    {
        const char* at = buf_.data() + offsetOf(index);
        __builtin_prefetch(at);
        __builtin_prefetch(at + lines_[static_cast<size_t>(index)].length);  // a line often spans two cache lines
    }
    // The whole file, a byte-order mark included (nothing when onDisk).
    std::string_view bytes() const { return buf_.view(); }
    // The file was mapped and shrank under the scan: some of its bytes read as zeros.
    bool damaged() const { return buf_.damaged(); }
    // length bytes of the file at offset, from memory or from the file.
    std::string_view fileBytes(uint64_t offset, uint32_t length) const;
    // The lines are read from the file when asked, not kept in memory.
    bool onDisk() const { return file_ != nullptr; }
    // The lines are in memory: neither released nor on disk.
    bool inMemory() const { return !released_ && !file_; }
    CodeUnit unit() const { return unit_; }
    LineEndMode mode() const { return mode_; }
    // Frees the texts; the line count stays, reading a line then fails.
    void release();
    bool released() const { return released_; }

private:
    // The low 32 bits of where a line starts, and its length; the high bits
    // of the start (a file of 4 GiB or more) are those of the last change
    // in highs_ at or before the line. Eight bytes a line, not twelve.
    struct Line {
        uint32_t offset;
        uint32_t length;
    };
    struct HighChange {
        int64_t line;   // the first line whose start has these high bits
        uint64_t high;  // the start's bits above the low 32
    };
    const Line& line(int64_t index) const;
    uint64_t offsetOf(int64_t index) const
    {
        const uint64_t low = lines_[static_cast<size_t>(index)].offset;
        if (highs_.empty())
            return low;
        uint64_t high = 0;
        for (const HighChange& c : highs_) {
            if (c.line > index)
                break;
            high = c.high;
        }
        return high << 32 | low;
    }

    FileBytes buf_;
    BigVector<Line> lines_;
    std::vector<HighChange> highs_;
    std::shared_ptr<const LineFile> file_;
    size_t textStart_ = 0;
    int64_t count_ = 0;
    CodeUnit unit_ = CodeUnit::Byte;
    LineEndMode mode_ = LineEndMode::Lf;
    bool released_ = false;
};

}  // namespace quillow
