#include "engine/text/escaped_utf.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>

namespace quillow {

size_t utf16ToUtf8(std::u16string_view in, char* out, bool replaceEscapes)
{
    const char16_t* p = in.data();
    const size_t n = in.size();
    char* o = out;
    size_t i = 0;
    while (i < n) {
#ifdef __SSE2__
        // Eight ASCII units at a time.
        while (i + 8 <= n) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                                  _mm_setzero_si128())) != 0xFFFF)
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(units, units));
            o += 8;
            i += 8;
        }
        if (i >= n)
            break;
#endif
        uint32_t c = p[i++];
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            continue;
        }
        if (U16_IS_LEAD(c) && i < n && U16_IS_TRAIL(p[i])) {
            c = U16_GET_SUPPLEMENTARY(c, p[i]);
            ++i;
        } else if (replaceEscapes && U16_IS_SURROGATE(c)) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (c >> 18));
            *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return static_cast<size_t>(o - out);
}

size_t utf8ToUtf16(std::string_view in, char16_t* out)
{
    const auto* p = reinterpret_cast<const uint8_t*>(in.data());
    const auto n = static_cast<int64_t>(in.size());  // lines may pass 2 GiB
    char16_t* o = out;
    int64_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            *o++ = p[i++];
            continue;
        }
        const int64_t start = i;
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0) {
            // One escape per byte; the bytes after the first get their own look.
            *o++ = escapeOf(p[start]);
            i = start + 1;
        } else if (c < 0x10000) {
            *o++ = static_cast<char16_t>(c);
        } else {
            *o++ = U16_LEAD(c);
            *o++ = U16_TRAIL(c);
        }
    }
    return static_cast<size_t>(o - out);
}

size_t escapedUtf8ToUtf16(std::string_view in, char16_t* out)
{
    const auto* p = reinterpret_cast<const uint8_t*>(in.data());
    const size_t n = in.size();
    char16_t* o = out;
    size_t i = 0;
    while (i < n) {
        // ED B0..B3 xx: U+DC00..U+DCFF, which only an escape writes.
        if (p[i] == 0xED && i + 2 < n && (p[i + 1] & 0xFC) == 0xB0 && (p[i + 2] & 0xC0) == 0x80) {
            *o++ = static_cast<char16_t>(kEscapeBase | (p[i + 1] & 0x03) << 6 | (p[i + 2] & 0x3F));
            i += 3;
            continue;
        }
        // A run up to the next byte that may start an escape (ED is never
        // inside a character).
        const void* ed = std::memchr(p + i + 1, 0xED, n - i - 1);
        const size_t next = ed ? static_cast<size_t>(static_cast<const uint8_t*>(ed) - p) : n;
        o += utf8ToUtf16(in.substr(i, next - i), o);
        i = next;
    }
    return static_cast<size_t>(o - out);
}

namespace {

template <size_t W>
uint32_t unitAt(const char* p, bool bigEndian)
{
    uint32_t v = 0;
    for (size_t k = 0; k < W; ++k)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(p[k])) << (8 * (bigEndian ? W - 1 - k : k));
    return v;
}

char16_t* escapeBytes(const char* p, size_t n, char16_t* o)
{
    for (size_t k = 0; k < n; ++k)
        *o++ = escapeOf(static_cast<unsigned char>(p[k]));
    return o;
}

}  // namespace

size_t utf16BytesToUtf16(std::string_view in, bool bigEndian, char16_t* out)
{
    const char* p = in.data();
    const size_t units = in.size() / 2;
    char16_t* o = out;
    size_t i = 0;
    while (i < units) {
#ifdef __SSE2__
        // Eight units at a time while none is a surrogate.
        while (i + 8 <= units) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
            if (bigEndian)
                v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
            const __m128i surrogates = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xF800))),
                                                       _mm_set1_epi16(static_cast<short>(0xD800)));
            if (_mm_movemask_epi8(surrogates) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
            o += 8;
            i += 8;
        }
        if (i >= units)
            break;
#endif
        const auto u = static_cast<char16_t>(unitAt<2>(p + 2 * i, bigEndian));
        if (!U16_IS_SURROGATE(u)) {
            *o++ = u;
            ++i;
        } else if (U16_IS_SURROGATE_LEAD(u) && i + 1 < units && U16_IS_TRAIL(unitAt<2>(p + 2 * i + 2, bigEndian))) {
            *o++ = u;
            *o++ = static_cast<char16_t>(unitAt<2>(p + 2 * i + 2, bigEndian));
            i += 2;
        } else {
            o = escapeBytes(p + 2 * i, 2, o);
            ++i;
        }
    }
    o = escapeBytes(p + 2 * units, in.size() % 2, o);
    return static_cast<size_t>(o - out);
}

size_t packAsciiUtf16(std::string_view in, bool bigEndian, char* out)
{
    const char* p = in.data();
    const size_t units = in.size() / 2;
    size_t i = 0;
#ifdef __SSE2__
    const __m128i high = _mm_set1_epi16(static_cast<short>(bigEndian ? 0x80FF : 0xFF80));
    for (; i + 8 <= units; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF)
            break;
        if (bigEndian)
            v = _mm_srli_epi16(v, 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < units; ++i) {
        const auto u = static_cast<char16_t>(unitAt<2>(p + 2 * i, bigEndian));
        if (u >= 0x80)
            break;
        out[i] = static_cast<char>(u);
    }
    return i;
}

size_t utf32BytesToUtf16(std::string_view in, bool bigEndian, char16_t* out)
{
    const char* p = in.data();
    const size_t units = in.size() / 4;
    char16_t* o = out;
    for (size_t i = 0; i < units; ++i) {
        const uint32_t c = unitAt<4>(p + 4 * i, bigEndian);
        if (c < 0x10000 && !U16_IS_SURROGATE(c)) {
            *o++ = static_cast<char16_t>(c);
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            *o++ = U16_LEAD(c);
            *o++ = U16_TRAIL(c);
        } else {
            o = escapeBytes(p + 4 * i, 4, o);
        }
    }
    o = escapeBytes(p + 4 * units, in.size() % 4, o);
    return static_cast<size_t>(o - out);
}

}  // namespace quillow
