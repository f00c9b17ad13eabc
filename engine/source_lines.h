#pragma once
// The source list: every line of the scanned file, in one buffer with an
// offset and length per line, so that tens of millions of lines cost a few
// bytes each instead of a heap string each.
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <memory>
#include <string_view>
#include <vector>

#include "engine/big_allocator.h"
#include "engine/list_index_error.h"

namespace quillow {

// How the lines of a file end. A file that holds a CR byte anywhere is read the
// classic way (CR or CR LF ends a line, a lone LF stays inside it); a file
// without any CR byte is a Unix file whose lines end at LF.
enum class LineEnds { CR, LF };

LineEnds detectLineEnds(std::string_view bytes);
// The number of lines forEachLine finds, counted at memory speed.
int64_t countLines(std::string_view bytes, LineEnds ends);

// The bytes divided near the middle into two runs of whole lines, [0, at)
// and [at, size), with the number of lines in each.
struct LineSplit {
    size_t at = 0;
    int64_t firstCount = 0;
    int64_t total = 0;
};
// Counts the lines of bytes, the two halves on two cores when parallel.
LineSplit countLinesInHalves(std::string_view bytes, LineEnds ends, bool parallel);
// Calls onLine(begin, length) for every line of bytes under the rule; a last
// line without terminator counts, a final terminator adds no empty line.
template <typename F>
void forEachLine(std::string_view bytes, LineEnds ends, F&& onLine);

class SourceLines {
public:
    SourceLines() = default;
    // Takes the file's bytes and, unless split is false, splits them into
    // lines; otherwise the caller adds the lines with addAllLines.
    SourceLines(BigVector<char> bytes, LineEnds ends, bool split = true);
    SourceLines(std::string_view bytes, LineEnds ends, bool split = true);
    // Records every line of the buffer at once, the two halves of split on
    // two cores when parallel.
    void addAllLines(const LineSplit& split, bool parallel);

    int64_t count() const { return count_; }
    // The line's bytes as read, without its terminator; throws
    // ListIndexError outside the list or after release().
    std::string_view view(int64_t index) const;
    std::string text(int64_t index) const { return std::string(view(index)); }
    // The bytes that ended the line in the file: from its end to the start of
    // the next line (or the end of the file; empty for a last line without one).
    std::string_view ownEnd(int64_t index) const;
    std::string_view bytes() const { return std::string_view(buf_.data(), buf_.size()); }
    LineEnds lineEnds() const { return ends_; }
    // Drops the first n bytes of line index (the byte-order mark).
    void dropPrefix(int64_t index, size_t n);
    // Frees the texts; the line count stays, reading a line then fails.
    void release();
    bool released() const { return released_; }

private:
#pragma pack(push, 4)
    struct Line {
        uint64_t offset;
        uint32_t length;
    };
#pragma pack(pop)
    const Line& line(int64_t index) const;

    BigVector<char> buf_;
    BigVector<Line> lines_;
    int64_t count_ = 0;
    LineEnds ends_ = LineEnds::LF;
    bool released_ = false;
};

template <typename F>
void forEachLine(std::string_view bytes, LineEnds ends, F&& onLine)
{
    const char* data = bytes.data();
    const size_t n = bytes.size();
    const char terminator = ends == LineEnds::LF ? '\n' : '\r';
    size_t lineStart = 0;
    // A terminator at end closes the line that started at lineStart.
    auto closeLine = [&](size_t end) {
        onLine(lineStart, end - lineStart);
        lineStart = end + 1;
        if (ends == LineEnds::CR && lineStart < n && data[lineStart] == '\n')
            ++lineStart;
    };
    size_t pos = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: lines average a few dozen bytes, so this beats
    // a library call per line.
    const __m128i wanted = _mm_set1_epi8(terminator);
    for (; pos + 16 <= n; pos += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
        while (mask) {
            closeLine(pos + static_cast<size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; pos < n; ++pos)
        if (data[pos] == terminator)
            closeLine(pos);
    if (lineStart < n)
        onLine(lineStart, n - lineStart);
}

}  // namespace quillow
