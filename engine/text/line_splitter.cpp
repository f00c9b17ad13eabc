#include "engine/text/line_splitter.h"

#include <algorithm>
#include <array>

#include "engine/runtime/two_cores.h"

namespace quillow {

using line_splitter_detail::Unit;

CodeUnit codeUnitOf(const Encoding& encoding)
{
    switch (encoding.form()) {
    case EncodingForm::Utf16LE:
        return CodeUnit::Utf16LE;
    case EncodingForm::Utf16BE:
        return CodeUnit::Utf16BE;
    case EncodingForm::Utf32LE:
        return CodeUnit::Utf32LE;
    case EncodingForm::Utf32BE:
        return CodeUnit::Utf32BE;
    default:
        return CodeUnit::Byte;
    }
}

namespace {

template <typename U>
LineEndTally tally(std::string_view text)
{
    constexpr size_t W = U::width;
    constexpr uint32_t lf = U::of('\n'), cr = U::of('\r');
    const char* data = text.data();
    const size_t units = text.size() - text.size() % W;
    LineEndTally t;
    size_t pos = 0;
#ifdef __SSE2__
    // Byte counters that go down by one per matching byte (a unit of W bytes
    // counts W times), summed every 255 blocks before they wrap. A CR LF pair
    // is a CR here and an LF in the block loaded W bytes further on.
    auto sum = [](__m128i counters) {
        const __m128i total = _mm_sad_epu8(_mm_sub_epi8(_mm_setzero_si128(), counters), _mm_setzero_si128());
        return static_cast<int64_t>(_mm_cvtsi128_si32(total) + _mm_extract_epi16(total, 4)) / static_cast<int64_t>(W);
    };
    while (pos + 16 + W <= units) {
        __m128i lfs = _mm_setzero_si128(), crs = _mm_setzero_si128(), pairs = _mm_setzero_si128();
        for (int round = 0; round < 255 && pos + 16 + W <= units; ++round, pos += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
            const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + W));
            const __m128i isCr = U::equal(block, cr);
            lfs = _mm_add_epi8(lfs, U::equal(block, lf));
            crs = _mm_add_epi8(crs, isCr);
            pairs = _mm_add_epi8(pairs, _mm_and_si128(isCr, U::equal(after, lf)));
        }
        t.lf += sum(lfs);
        t.cr += sum(crs);
        t.crlf += sum(pairs);
    }
#endif
    for (; pos < units; pos += W) {
        const uint32_t u = U::at(data + pos);
        if (u == lf) {
            ++t.lf;
        } else if (u == cr) {
            ++t.cr;
            if (pos + 2 * W <= units && U::at(data + pos + W) == lf)
                ++t.crlf;
        }
    }
    return t;
}

template <typename U>
uint32_t unitAt(std::string_view text, size_t pos)
{
    return U::at(text.data() + pos);
}

// Calls job with the Unit type of the code unit.
template <typename Job>
auto withUnit(CodeUnit unit, Job&& job)
{
    switch (unit) {
    case CodeUnit::Utf16LE:
        return job(Unit<2, false>{});
    case CodeUnit::Utf16BE:
        return job(Unit<2, true>{});
    case CodeUnit::Utf32LE:
        return job(Unit<4, false>{});
    case CodeUnit::Utf32BE:
        return job(Unit<4, true>{});
    case CodeUnit::Byte:
        break;
    }
    return job(Unit<1, false>{});
}

// f of [0, mid) and of [mid, end), on two cores when parallel.
template <typename T, typename F>
std::array<T, 2> overHalves(std::string_view text, size_t mid, bool parallel, F&& f)
{
    std::array<T, 2> halves{};
    onTwoCores(parallel, [&](int part) {
        halves[part] = f(part == 0 ? text.substr(0, mid) : text.substr(mid));
        if (!parallel)
            halves[1] = f(text.substr(mid));
    });
    return halves;
}

// The first unit equal to wanted at or after from, or npos.
template <typename U>
size_t findUnit(std::string_view text, size_t from, uint32_t wanted)
{
    constexpr size_t W = U::width;
    if constexpr (W == 1) {
        const void* hit = from < text.size() ? std::memchr(text.data() + from, static_cast<int>(wanted), text.size() - from) : nullptr;
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
    } else {
        const size_t units = text.size() - text.size() % W;
        for (size_t pos = from; pos < units; pos += W)
            if (U::at(text.data() + pos) == wanted)
                return pos;
        return std::string_view::npos;
    }
}

}  // namespace

LineEndTally tallyLineEnds(std::string_view text, CodeUnit unit)
{
    return withUnit(unit, [&](auto u) { return tally<decltype(u)>(text); });
}

LineEndMode lineEndMode(const LineEndTally& t)
{
    return t.cr > t.lf - t.crlf ? LineEndMode::Cr : LineEndMode::Lf;
}

int64_t lineCount(std::string_view text, CodeUnit unit, LineEndMode mode, const LineEndTally& t)
{
    if (mode == LineEndMode::Cr && t.lf > t.crlf) {
        // Whether a lone LF ends a line depends on the quotes before it.
        int64_t count = 0;
        splitLines(text, unit, mode, [&](size_t, size_t) { ++count; });
        return count;
    }
    return withUnit(unit, [&](auto u) -> int64_t {
        using U = decltype(u);
        constexpr size_t W = U::width;
        const size_t n = text.size();
        if (n == 0)
            return 0;
        constexpr uint32_t lf = U::of('\n'), cr = U::of('\r');
        bool endsWithTerminator = false;
        if (n % W == 0) {
            const uint32_t last = unitAt<U>(text, n - W);
            if (mode == LineEndMode::Lf)
                endsWithTerminator = last == lf;
            else
                endsWithTerminator = last == cr || (last == lf && n >= 2 * W && unitAt<U>(text, n - 2 * W) == cr);
        }
        return (mode == LineEndMode::Lf ? t.lf : t.cr) + (endsWithTerminator ? 0 : 1);
    });
}

LineLayout layOutLines(std::string_view text, CodeUnit unit, bool parallel)
{
    return withUnit(unit, [&](auto u) {
        using U = decltype(u);
        constexpr size_t W = U::width;
        const size_t n = text.size();
        const size_t mid = parallel ? (n / 2) / W * W : n;
        const auto halves =
            overHalves<LineEndTally>(text, mid, parallel, [](std::string_view half) { return tally<U>(half); });
        LineEndTally all{halves[0].lf + halves[1].lf, halves[0].cr + halves[1].cr, halves[0].crlf + halves[1].crlf};
        if (mid >= W && mid + W <= n && unitAt<U>(text, mid - W) == U::of('\r') && unitAt<U>(text, mid) == U::of('\n'))
            ++all.crlf;  // the pair the halves cut apart

        LineLayout layout;
        layout.mode = lineEndMode(all);
        const bool lfMode = layout.mode == LineEndMode::Lf;
        // Split after the first line end at or after the middle: an LF in LF
        // mode, a CR in CR mode (a lone LF may be inside quotes).
        const size_t end = findUnit<U>(text, mid, U::of(lfMode ? '\n' : '\r'));
        if (end == std::string_view::npos) {
            layout.total = lineCount(text, unit, layout.mode, all);
            layout.at = n;
            layout.firstCount = layout.total;
            return layout;
        }
        layout.at = end + W;
        if (!lfMode && layout.at + W <= n && unitAt<U>(text, layout.at) == U::of('\n'))
            layout.at += W;
        if (lfMode || all.lf == all.crlf) {
            layout.total = lineCount(text, unit, layout.mode, all);
            layout.firstCount = (lfMode ? halves[0].lf : halves[0].cr) + 1;
            return layout;
        }
        // Lone LFs in CR mode: each half counts its lines by the quotes.
        int64_t counts[2] = {0, 0};
        onTwoCores(parallel, [&](int part) {
            auto count = [&](int half) {
                const std::string_view piece = half == 0 ? text.substr(0, layout.at) : text.substr(layout.at);
                splitLines(piece, unit, layout.mode, [&](size_t, size_t) { ++counts[half]; });
            };
            count(part);
            if (!parallel)
                count(1);
        });
        layout.firstCount = counts[0];
        layout.total = counts[0] + counts[1];
        return layout;
    });
}

int64_t countNulUnits(std::string_view text, CodeUnit unit)
{
    return withUnit(unit, [&](auto u) -> int64_t {
        using U = decltype(u);
        constexpr size_t W = U::width;
        if constexpr (W == 1)
            return std::count(text.begin(), text.end(), '\0');
        int64_t n = 0;
        for (size_t pos = 0; pos + W <= text.size(); pos += W)
            n += U::at(text.data() + pos) == 0;
        return n;
    });
}

int64_t nulLineCount(std::string_view text, CodeUnit unit, int64_t nuls)
{
    const size_t w = unitWidth(unit);
    const size_t n = text.size();
    if (n == 0)
        return 0;
    const bool endsWithNul = n % w == 0 && text.substr(n - w).find_first_not_of('\0') == std::string_view::npos;
    return nuls + (endsWithNul ? 0 : 1);
}

LineLayout layOutNulLines(std::string_view text, CodeUnit unit, bool parallel)
{
    return withUnit(unit, [&](auto u) {
        using U = decltype(u);
        constexpr size_t W = U::width;
        const size_t n = text.size();
        const size_t mid = parallel ? (n / 2) / W * W : n;
        const auto halves =
            overHalves<int64_t>(text, mid, parallel, [&](std::string_view half) { return countNulUnits(half, unit); });
        LineLayout layout;
        layout.mode = LineEndMode::Nul;
        layout.total = nulLineCount(text, unit, halves[0] + halves[1]);
        const size_t end = findUnit<U>(text, mid, 0);
        if (end == std::string_view::npos) {
            layout.at = n;
            layout.firstCount = layout.total;
            return layout;
        }
        layout.at = end + W;
        layout.firstCount = halves[0] + 1;
        return layout;
    });
}

std::string_view encodedNul(CodeUnit unit)
{
    static constexpr char zeros[4] = {0, 0, 0, 0};
    return std::string_view(zeros, unitWidth(unit));
}

std::string_view encodedLineEnd(CodeUnit unit, bool crlf)
{
    using namespace std::string_view_literals;
    static constexpr std::string_view ends[5][2] = {
        {"\n"sv, "\r\n"sv},
        {"\n\0"sv, "\r\0\n\0"sv},
        {"\0\n"sv, "\0\r\0\n"sv},
        {"\n\0\0\0"sv, "\r\0\0\0\n\0\0\0"sv},
        {"\0\0\0\n"sv, "\0\0\0\r\0\0\0\n"sv},
    };
    return ends[static_cast<size_t>(unit)][crlf ? 1 : 0];
}

}  // namespace quillow
