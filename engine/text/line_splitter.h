#pragma once
// Where the lines of a text end, for every encoding. Line ends are code units
// (a byte in UTF-8 and the legacy encodings, two bytes in UTF-16, four in
// UTF-32), so a 0x0A byte inside a UTF-16 character ends nothing.
//
// Two ways to end lines; the file's majority picks one:
// - LF mode: LF ends a line, a CR just before it belongs to the line end, a
//   lone CR is text. Kept lines are written with their own end.
// - CR mode: CR or CR LF ends a line, and so does a lone LF, except inside
//   double quotes (after an odd number of '"' since the line's start: a line
//   break in a cell of a spreadsheet export), where it is text. Lines ended
//   by CR or CR LF are written with CR LF, lines ended by a lone LF with LF:
//   a file that simply mixes two conventions keeps both.
// A third is asked for, never chosen by majority:
// - NUL mode (-z): NUL ends a line, CR and LF are text. Kept lines keep
//   their own end; a last line without one gets NUL.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/text/text_encoding.h"

namespace quillow {

enum class LineEndMode : uint8_t { Lf, Cr, Nul };
enum class CodeUnit : uint8_t { Byte, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

CodeUnit codeUnitOf(const Encoding& encoding);
inline size_t unitWidth(CodeUnit unit)
{
    return unit == CodeUnit::Byte ? 1 : (unit == CodeUnit::Utf16LE || unit == CodeUnit::Utf16BE) ? 2 : 4;
}

// Line end units of a text: LF units, CR units, and CR LF pairs among them.
struct LineEndTally {
    int64_t lf = 0;
    int64_t cr = 0;
    int64_t crlf = 0;
};
LineEndTally tallyLineEnds(std::string_view text, CodeUnit unit);
// CR mode when the lines ended by CR (CR LF or a lone CR) outnumber those
// ended by a lone LF; LF mode on a tie and without any line end.
LineEndMode lineEndMode(const LineEndTally& tally);
// The number of lines splitLines finds: from the text's tally, or in CR mode
// with lone LFs (which quotes may hold) by splitting the text.
int64_t lineCount(std::string_view text, CodeUnit unit, LineEndMode mode, const LineEndTally& tally);
// At most that many lines, from the tally alone (a file read in pieces).
inline int64_t mostLines(const LineEndTally& tally, LineEndMode mode)
{
    return (mode == LineEndMode::Lf ? tally.lf : tally.cr + tally.lf - tally.crlf) + 1;
}

// The text (after any byte-order mark) measured in one pass, halved for two
// cores when parallel: [0, at) and [at, size) hold whole lines, firstCount
// and total - firstCount of them.
struct LineLayout {
    LineEndMode mode = LineEndMode::Lf;
    size_t at = 0;
    int64_t firstCount = 0;
    int64_t total = 0;
};
LineLayout layOutLines(std::string_view text, CodeUnit unit, bool parallel);
// The same for NUL mode.
LineLayout layOutNulLines(std::string_view text, CodeUnit unit, bool parallel);
// NUL units of a text, and the number of lines they end in NUL mode.
int64_t countNulUnits(std::string_view text, CodeUnit unit);
int64_t nulLineCount(std::string_view text, CodeUnit unit, int64_t nuls);

// LF or CR LF in the unit's encoding.
std::string_view encodedLineEnd(CodeUnit unit, bool crlf);
// NUL in the unit's encoding.
std::string_view encodedNul(CodeUnit unit);
// What the cleaned file gets after a kept line whose own end (the bytes from
// the end of its text to the start of the next line) is ownEnd: in LF mode
// that end, or LF when the line has none; in CR mode LF after a lone LF, else
// CR LF; in NUL mode that end, or NUL.
inline std::string_view lineEndToWrite(CodeUnit unit, LineEndMode mode, std::string_view ownEnd)
{
    const std::string_view lf = encodedLineEnd(unit, false);
    if (mode == LineEndMode::Cr)
        return ownEnd == lf ? lf : encodedLineEnd(unit, true);
    if (mode == LineEndMode::Nul)
        return ownEnd.empty() ? encodedNul(unit) : ownEnd;
    return ownEnd.empty() ? lf : ownEnd;
}

// Calls onLine(begin, length) -- or onLine(begin, length, next) when it takes
// three arguments -- for every line of text in order: [begin, begin + length)
// is the line's text, [begin + length, next) its end. A last line without an
// end counts (an incomplete code unit at the end is part of it); an end at
// the very end adds no empty line.
// When final is false, text is the start of a stream: a line is only
// reported once its end is certain, and the return value is where the
// unreported rest begins (the caller passes it again with more bytes).
// Otherwise the return value is text.size().
template <typename F>
size_t splitLines(std::string_view text, CodeUnit unit, LineEndMode mode, F&& onLine, bool final = true);

namespace line_splitter_detail {

template <size_t W, bool BigEndian>
struct Unit {
    static constexpr size_t width = W;
    // The unit holding the ASCII character c, as the machine loads it.
    static constexpr uint32_t of(char c)
    {
        return BigEndian ? static_cast<uint32_t>(static_cast<unsigned char>(c)) << (8 * (W - 1))
                         : static_cast<unsigned char>(c);
    }
    static uint32_t at(const char* p)
    {
        uint32_t v = 0;
        std::memcpy(&v, p, W);
        return v;
    }
#ifdef __SSE2__
    static __m128i equal(__m128i block, uint32_t unit)
    {
        if constexpr (W == 1)
            return _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(unit)));
        else if constexpr (W == 2)
            return _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(unit)));
        else
            return _mm_cmpeq_epi32(block, _mm_set1_epi32(static_cast<int>(unit)));
    }
    // One bit per unit of the 16-byte mask: the lowest bit of each lane.
    static constexpr unsigned laneBits = W == 1 ? 0xFFFFu : (W == 2 ? 0x5555u : 0x1111u);
#endif
};

template <typename U, LineEndMode Mode, typename F>
size_t split(std::string_view text, F& onLine, bool final)
{
    constexpr size_t W = U::width;
    const char* data = text.data();
    const size_t n = text.size();
    const size_t units = n - n % W;  // bytes in whole units
    constexpr uint32_t lf = U::of('\n'), cr = U::of('\r'), quote = U::of('"');
    // The unit each mode looks for first (CR mode: LF and quotes too).
    constexpr uint32_t first = Mode == LineEndMode::Lf ? lf : Mode == LineEndMode::Cr ? cr : 0;
    size_t lineStart = 0;
    bool quoted = false;  // CR mode: an odd number of quotes since lineStart
    auto report = [&](size_t begin, size_t length, size_t next) {
        if constexpr (std::is_invocable_v<F&, size_t, size_t, size_t>)
            onLine(begin, length, next);
        else
            onLine(begin, length);
    };
    auto endLine = [&](size_t textEnd, size_t next) {
        report(lineStart, textEnd - lineStart, next);
        lineStart = next;
        quoted = false;
    };
    // The unit at pos is one the mode looks for; false when what it does is
    // not certain yet (a CR closing an unfinished stream).
    auto atUnit = [&](size_t pos) {
        if constexpr (Mode == LineEndMode::Lf) {
            // Branch-free: this runs once per line of every file.
            endLine(pos - ((pos != lineStart && U::at(data + pos - W) == cr) ? W : 0), pos + W);
        } else if constexpr (Mode == LineEndMode::Nul) {
            endLine(pos, pos + W);
        } else {
            if (pos < lineStart)
                return true;  // the LF of a CR LF pair already ended
            const uint32_t u = U::at(data + pos);
            if (u == quote) {
                quoted = !quoted;
            } else if (u == lf) {
                if (!quoted)
                    endLine(pos, pos + W);
            } else {
                size_t next = pos + W;
                if (next + W <= n) {
                    if (U::at(data + next) == lf)
                        next += W;
                } else if (!final) {
                    return false;
                }
                endLine(pos, next);
            }
        }
        return true;
    };
    size_t pos = 0;
#ifdef __SSE2__
    // The units each mode looks for in sixteen bytes, one bit a byte.
    auto hitsIn = [&](size_t at) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        __m128i hits = U::equal(block, first);
        if constexpr (Mode == LineEndMode::Cr)
            hits = _mm_or_si128(hits, _mm_or_si128(U::equal(block, lf), U::equal(block, quote)));
        return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits)) & U::laneBits);
    };
    // Sixty-four bytes at a time (sixteen at the end): lines average a few
    // dozen bytes, so most blocks hold a line end, and one mask per block
    // keeps the branches few. One loop handles the hits of both, so the
    // caller's line handler is inlined once.
    while (pos + 16 <= units) {
        const bool wide = pos + 64 <= units;
        uint64_t mask = wide ? hitsIn(pos) | hitsIn(pos + 16) << 16 | hitsIn(pos + 32) << 32 | hitsIn(pos + 48) << 48
                             : hitsIn(pos);
        while (mask) {
            if (!atUnit(pos + static_cast<size_t>(__builtin_ctzll(mask))))
                return lineStart;
            mask &= mask - 1;
        }
        pos += wide ? 64 : 16;
    }
#endif
    for (; pos < units; pos += W) {
        const uint32_t u = U::at(data + pos);
        const bool wanted = Mode == LineEndMode::Cr ? (u == cr || u == lf || u == quote) : u == first;
        if (wanted && !atUnit(pos))
            return lineStart;
    }
    if (!final)
        return lineStart;
    if (lineStart < n)
        report(lineStart, n - lineStart, n);
    return n;
}

template <LineEndMode Mode, typename F>
size_t splitIn(std::string_view text, CodeUnit unit, F& onLine, bool final)
{
    switch (unit) {
    case CodeUnit::Byte:
        return split<Unit<1, false>, Mode>(text, onLine, final);
    case CodeUnit::Utf16LE:
        return split<Unit<2, false>, Mode>(text, onLine, final);
    case CodeUnit::Utf16BE:
        return split<Unit<2, true>, Mode>(text, onLine, final);
    case CodeUnit::Utf32LE:
        return split<Unit<4, false>, Mode>(text, onLine, final);
    case CodeUnit::Utf32BE:
        return split<Unit<4, true>, Mode>(text, onLine, final);
    }
    return 0;
}

}  // namespace line_splitter_detail

template <typename F>
size_t splitLines(std::string_view text, CodeUnit unit, LineEndMode mode, F&& onLine, bool final)
{
    using namespace line_splitter_detail;
    switch (mode) {
    case LineEndMode::Cr:
        return splitIn<LineEndMode::Cr>(text, unit, onLine, final);
    case LineEndMode::Nul:
        return splitIn<LineEndMode::Nul>(text, unit, onLine, final);
    case LineEndMode::Lf:
        break;
    }
    return splitIn<LineEndMode::Lf>(text, unit, onLine, final);
}

}  // namespace quillow
