#include "engine/text/text_encoding.h"

#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "engine/text/legacy_guess.h"
#include "engine/text/locale_language.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

Encoding::Encoding(EncodingForm form) : form_(form) {}

Encoding::Encoding(std::string converterName, std::string displayName)
    : form_(EncodingForm::Legacy), converter_(std::move(converterName)), display_(std::move(displayName))
{
}

size_t Encoding::unitSize() const
{
    switch (form_) {
    case EncodingForm::Utf16LE:
    case EncodingForm::Utf16BE:
        return 2;
    case EncodingForm::Utf32LE:
    case EncodingForm::Utf32BE:
        return 4;
    default:
        return 1;
    }
}

std::string Encoding::displayName() const
{
    switch (form_) {
    case EncodingForm::Utf8:
        return "UTF-8";
    case EncodingForm::Utf16LE:
        return "UTF-16LE";
    case EncodingForm::Utf16BE:
        return "UTF-16BE";
    case EncodingForm::Utf32LE:
        return "UTF-32LE";
    case EncodingForm::Utf32BE:
        return "UTF-32BE";
    case EncodingForm::Legacy:
        break;
    }
    return display_;
}

std::string_view ByteOrderMark::bytes() const
{
    using namespace std::string_view_literals;
    switch (kind) {
    case MarkKind::Utf8:
        return "\xEF\xBB\xBF"sv;
    case MarkKind::Utf16LE:
        return "\xFF\xFE"sv;
    case MarkKind::Utf16BE:
        return "\xFE\xFF"sv;
    case MarkKind::Utf32LE:
        return "\xFF\xFE\0\0"sv;
    case MarkKind::Utf32BE:
        return "\0\0\xFE\xFF"sv;
    case MarkKind::None:
        break;
    }
    return {};
}

ByteOrderMark findByteOrderMark(std::string_view fileStart)
{
    for (MarkKind kind : {MarkKind::Utf32LE, MarkKind::Utf32BE, MarkKind::Utf8, MarkKind::Utf16LE, MarkKind::Utf16BE})
        if (fileStart.starts_with(ByteOrderMark{kind}.bytes()))
            return ByteOrderMark{kind};
    return {};
}

namespace {

MarkKind markOf(EncodingForm form)
{
    switch (form) {
    case EncodingForm::Utf8:
        return MarkKind::Utf8;
    case EncodingForm::Utf16LE:
        return MarkKind::Utf16LE;
    case EncodingForm::Utf16BE:
        return MarkKind::Utf16BE;
    case EncodingForm::Utf32LE:
        return MarkKind::Utf32LE;
    case EncodingForm::Utf32BE:
        return MarkKind::Utf32BE;
    case EncodingForm::Legacy:
        break;
    }
    return MarkKind::None;
}

EncodingForm formOf(MarkKind mark)
{
    switch (mark) {
    case MarkKind::Utf16LE:
        return EncodingForm::Utf16LE;
    case MarkKind::Utf16BE:
        return EncodingForm::Utf16BE;
    case MarkKind::Utf32LE:
        return EncodingForm::Utf32LE;
    case MarkKind::Utf32BE:
        return EncodingForm::Utf32BE;
    default:
        return EncodingForm::Utf8;
    }
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Decodes bytes from the initial state and says whether the result is
// exactly want; a truncated or invalid sequence fails.
bool decodesTo(UConverter* cnv, std::string_view bytes, std::u16string_view want)
{
    UErrorCode err = U_ZERO_ERROR;
    ucnv_resetToUnicode(cnv);
    ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    char16_t out[16];
    UChar* target = out;
    const char* source = bytes.data();
    ucnv_toUnicode(cnv, &target, out + 16, &source, bytes.data() + bytes.size(), nullptr, true, &err);
    return U_SUCCESS(err) && std::u16string_view(out, static_cast<size_t>(target - out)) == want;
}

// Lines are found by looking for the bytes of CR and LF, and blanks by the
// byte of U+0020: the converter must decode those bytes to those characters
// alone, and no byte may swallow a CR, LF or blank that follows it.
bool lineEndsAreBytes(UConverter* cnv)
{
    if (!decodesTo(cnv, "\n", u"\n") || !decodesTo(cnv, "\r", u"\r") || !decodesTo(cnv, " ", u" "))
        return false;
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &err);
    for (int b = 0; b < 256; ++b) {
        for (char end : {'\n', '\r', ' '}) {
            const char in[2] = {static_cast<char>(b), end};
            char16_t out[8];
            UChar* target = out;
            const char* source = in;
            err = U_ZERO_ERROR;
            ucnv_resetToUnicode(cnv);
            ucnv_toUnicode(cnv, &target, out + 8, &source, in + 2, nullptr, true, &err);
            if (U_FAILURE(err) || target == out || target[-1] != static_cast<char16_t>(end))
                return false;
        }
    }
    return true;
}

bool isStateful(UConverterType type)
{
    switch (type) {
    case UCNV_SBCS:
    case UCNV_DBCS:
    case UCNV_MBCS:
    case UCNV_LATIN_1:
    case UCNV_US_ASCII:
    case UCNV_CESU8:
        return false;
    default:
        return true;
    }
}

// A UTF-16 file without a mark: mostly ASCII-range text puts a NUL byte into
// most code units, always on the same side. Binary data and UTF-32 have NUL
// bytes on both sides.
std::optional<EncodingForm> utf16FromNulPattern(std::string_view bytes)
{
    const size_t n = std::min<size_t>(bytes.size(), kEncodingStart) & ~size_t{1};
    if (n < 4)
        return std::nullopt;
    size_t zeros[2] = {0, 0};
    for (size_t i = 0; i < n; ++i)
        zeros[i & 1] += bytes[i] == '\0';
    const size_t units = n / 2;
    // Text with line-end bytes has line-end units too (a single byte of
    // them, as in "a\0b\n", is no UTF-16 line end).
    auto hasLineEndUnits = [&](size_t high) {
        for (size_t i = 0; i < n; i += 2)
            if (bytes[i + high] == '\0' && (bytes[i + 1 - high] == '\n' || bytes[i + 1 - high] == '\r'))
                return true;
        return bytes.substr(0, n).find_first_of("\r\n") == std::string_view::npos;
    };
    for (size_t high = 0; high < 2; ++high) {
        const size_t onSide = zeros[high], otherSide = zeros[1 - high];
        if (onSide * 10 >= units * 3 && otherSide * 50 <= onSide && hasLineEndUnits(high))
            return high == 1 ? EncodingForm::Utf16LE : EncodingForm::Utf16BE;
    }
    return std::nullopt;
}

// What the detector reads: the lines that hold bytes beyond ASCII, from the
// line of the first byte that is not UTF-8 on, up to 64 KiB of them from at
// most 8 MiB of the file. ASCII lines tell it nothing.
std::string detectorSample(std::string_view bytes, size_t firstInvalid)
{
    constexpr size_t kSample = size_t{1} << 16, kLook = kEncodingWindow;
    const size_t lineStart = bytes.find_last_of("\r\n", firstInvalid);
    size_t at = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    const size_t stop = std::min(bytes.size(), at + kLook);
    std::string sample;
    while (at < stop && sample.size() < kSample) {
        size_t end = bytes.find_first_of("\r\n", at);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        const std::string_view line = bytes.substr(at, end - at);
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            sample.append(line);
        at = end;
    }
    return sample;
}

// More than ten valid multi-byte UTF-8 characters for every invalid byte
// (the proportion ICU's own UTF-8 recogniser accepts), counted over the
// sample and the validBefore characters before it: legacy text forms valid
// sequences by chance only, far more rarely.
bool mostlyUtf8(std::string_view sample, int64_t validBefore)
{
    const auto* p = reinterpret_cast<const uint8_t*>(sample.data());
    const auto n = static_cast<int64_t>(sample.size());
    int64_t valid = validBefore, invalid = 0;
    for (int64_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int64_t start = i;
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0) {
            ++invalid;
            i = start + 1;
        } else {
            ++valid;
        }
    }
    return invalid > 0 && valid > 10 * invalid;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

namespace {

// encodingNamed; anyOrder tells that the name gives no byte order ("UTF-16").
EncodingLookup lookUp(std::string_view rawName, bool* anyOrder)
{
    const std::string name(trimmed(rawName));
    EncodingLookup result;
    UErrorCode err = U_ZERO_ERROR;
    // ICU opens its default converter for an empty name; that is no choice.
    ConverterPtr cnv(name.empty() || name.find('\0') != std::string::npos ? nullptr : ucnv_open(name.c_str(), &err));
    if (!cnv || U_FAILURE(err)) {
        result.refusal = EncodingRefusal{false, std::string(rawName)};
        return result;
    }
    const UConverterType type = ucnv_getType(cnv.get());
    if (anyOrder)
        *anyOrder = type == UCNV_UTF16 || type == UCNV_UTF32;
    switch (type) {
    case UCNV_UTF8:
        result.encoding = Encoding(EncodingForm::Utf8);
        return result;
    case UCNV_UTF16_LittleEndian:
        result.encoding = Encoding(EncodingForm::Utf16LE);
        return result;
    case UCNV_UTF16_BigEndian:
    case UCNV_UTF16:  // without a mark, big-endian (chooseEncoding lets a mark decide)
        result.encoding = Encoding(EncodingForm::Utf16BE);
        return result;
    case UCNV_UTF32_LittleEndian:
        result.encoding = Encoding(EncodingForm::Utf32LE);
        return result;
    case UCNV_UTF32_BigEndian:
    case UCNV_UTF32:
        result.encoding = Encoding(EncodingForm::Utf32BE);
        return result;
    default:
        break;
    }
    if (isStateful(type) || !lineEndsAreBytes(cnv.get())) {
        result.refusal = EncodingRefusal{true, std::string(rawName)};
        return result;
    }
    // Shown as named: the user's own spelling, or the detector's.
    err = U_ZERO_ERROR;
    result.encoding = Encoding(ucnv_getName(cnv.get(), &err), name);
    return result;
}

}  // namespace

EncodingLookup encodingNamed(std::string_view name) { return lookUp(name, nullptr); }

namespace {

// The offset of the first invalid sequence of bytes, or bytes.size().
size_t firstInvalidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    auto cont = [&](size_t k) { return k < n && (p[k] & 0xC0) == 0x80; };
#ifdef __SSE2__
    auto load = [&](size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k)); };
#endif
    while (i < n) {
#ifdef __SSE2__
        // Text is mostly ASCII: 64 bytes a step, then 16.
        while (i + 64 <= n &&
               _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(load(i), load(i + 16)), _mm_or_si128(load(i + 32), load(i + 48)))) == 0)
            i += 64;
        while (i + 16 <= n && _mm_movemask_epi8(load(i)) == 0)
            i += 16;
#endif
        for (const size_t stop = std::min(n, i + 16); i < stop;) {
            const unsigned c = p[i];
            if (c < 0x80) {
                ++i;
                continue;
            }
            size_t len = 0;
            if (c >= 0xC2 && c <= 0xDF) {
                len = cont(i + 1) ? 2 : 0;
            } else if (c >= 0xE0 && c <= 0xEF) {
                const unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
                len = i + 1 < n && p[i + 1] >= lo && p[i + 1] <= hi && cont(i + 2) ? 3 : 0;
            } else if (c >= 0xF0 && c <= 0xF4) {
                const unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
                len = i + 1 < n && p[i + 1] >= lo && p[i + 1] <= hi && cont(i + 2) && cont(i + 3) ? 4 : 0;
            }
            if (len == 0)
                return i;
            i += len;
        }
    }
    return n;
}

#if defined(__x86_64__) || defined(__i386__)
#define QUILLOW_UTF8_SSSE3 1

// Sixteen bytes at a time with byte-pair lookups (the method of Keiser and
// Lemire, "Validating UTF-8 in less than one instruction per byte"): the high
// and low nibble of each byte and the high nibble of the next select error
// classes that must not all meet. SSSE3 is checked at run time.
#pragma GCC push_options
#pragma GCC target("ssse3")
size_t firstInvalidUtf8Ssse3(std::string_view bytes)
{
    constexpr char tooShort = 1 << 0, tooLong = 1 << 1, overlong3 = 1 << 2, tooLarge = 1 << 3, surrogate = 1 << 4,
                   overlong2 = 1 << 5, tooLarge1000 = 1 << 6, overlong4 = 1 << 6, twoConts = static_cast<char>(1 << 7);
    constexpr char carry = tooShort | tooLong | twoConts;
    const __m128i byte1High = _mm_setr_epi8(tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong,
                                            twoConts, twoConts, twoConts, twoConts, tooShort | overlong2, tooShort,
                                            tooShort | overlong3 | surrogate,
                                            tooShort | tooLarge | tooLarge1000 | overlong4);
    constexpr char large = carry | tooLarge | tooLarge1000;
    const __m128i byte1Low = _mm_setr_epi8(carry | overlong3 | overlong2 | overlong4, carry | overlong2, carry, carry,
                                           carry | tooLarge, large, large, large, large, large, large, large, large,
                                           large | surrogate, large, large);
    constexpr char cont8 = tooLong | overlong2 | twoConts | overlong3 | tooLarge1000 | overlong4;
    constexpr char cont9 = tooLong | overlong2 | twoConts | overlong3 | tooLarge;
    constexpr char contAB = tooLong | overlong2 | twoConts | surrogate | tooLarge;
    const __m128i byte2High = _mm_setr_epi8(tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort,
                                            cont8, cont9, contAB, contAB, tooShort, tooShort, tooShort, tooShort);
    // Non-zero where the block ends inside a sequence.
    const __m128i lastLeads = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
                                            static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i zero = _mm_setzero_si128();

    __m128i prev = zero, prevIncomplete = zero, error = zero;
    auto check = [&](__m128i input) {
        if (_mm_movemask_epi8(input) == 0) {
            error = _mm_or_si128(error, prevIncomplete);
        } else {
            const __m128i prev1 = _mm_alignr_epi8(input, prev, 15);
            const __m128i special = _mm_and_si128(
                _mm_and_si128(_mm_shuffle_epi8(byte1High, _mm_and_si128(_mm_srli_epi16(prev1, 4), nibble)),
                              _mm_shuffle_epi8(byte1Low, _mm_and_si128(prev1, nibble))),
                _mm_shuffle_epi8(byte2High, _mm_and_si128(_mm_srli_epi16(input, 4), nibble)));
            const __m128i third = _mm_subs_epu8(_mm_alignr_epi8(input, prev, 14), _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
            const __m128i fourth = _mm_subs_epu8(_mm_alignr_epi8(input, prev, 13), _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
            const __m128i must23 = _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
            error = _mm_or_si128(error, _mm_xor_si128(must23, special));
            prevIncomplete = _mm_subs_epu8(input, lastLeads);
        }
        prev = input;
    };
    auto clean = [&] { return _mm_movemask_epi8(_mm_cmpeq_epi8(error, zero)) == 0xFFFF; };
    const char* p = bytes.data();
    const size_t n = bytes.size();
    // An error lies after the last clean point, or is a sequence that began
    // in its last three bytes and did not end: find it exactly from there.
    auto exactFrom = [&](size_t start) {
        size_t j = start;
        for (size_t back = 1; back <= 3 && back <= start; ++back) {
            const auto c = static_cast<unsigned char>(p[start - back]);
            if (c < 0x80)
                break;
            if (c >= 0xC0) {
                j = start - back;
                break;
            }
        }
        return j + firstInvalidUtf8(bytes.substr(j));
    };
    size_t i = 0, lastClean = 0;
    for (; i + 64 <= n; i += 64) {
        __m128i block[4];
        for (int k = 0; k < 4; ++k)
            block[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(block[0], block[1]), _mm_or_si128(block[2], block[3]))) == 0) {
            error = _mm_or_si128(error, prevIncomplete);  // mostly ASCII: one test for 64 bytes
            prevIncomplete = zero;
            prev = block[3];
            continue;
        }
        for (const __m128i& b : block)
            check(b);
        if (!clean())
            return exactFrom(lastClean);
        lastClean = i + 64;
    }
    for (; i + 16 <= n; i += 16)
        check(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    // The rest padded with NULs: a sequence cut off at the end meets ASCII.
    char last[16] = {};
    if (n > i)  // an empty text may have no address
        std::memcpy(last, p + i, n - i);
    check(_mm_loadu_si128(reinterpret_cast<const __m128i*>(last)));
    return clean() ? n : exactFrom(lastClean);
}
#pragma GCC pop_options
#endif

size_t firstInvalidUtf8Fast(std::string_view bytes)
{
#ifdef QUILLOW_UTF8_SSSE3
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        return firstInvalidUtf8Ssse3(bytes);
#endif
    return firstInvalidUtf8(bytes);
}

}  // namespace

bool isValidUtf8(std::string_view bytes, size_t* firstInvalid, bool parallel)
{
    // The halves meet at the start of a character (or at an invalid byte,
    // which the second half then finds).
    size_t mid = parallel ? bytes.size() / 2 : bytes.size();
    for (int back = 0; back < 3 && mid > 0 && mid < bytes.size() && (bytes[mid] & 0xC0) == 0x80; ++back)
        --mid;
    size_t found[2] = {0, 0};
    onTwoCores(parallel, [&](int part) {
        if (part == 0)
            found[0] = firstInvalidUtf8Fast(bytes.substr(0, mid));
        if (part == 1 || !parallel)
            found[1] = mid + firstInvalidUtf8Fast(bytes.substr(mid));
    });
    const size_t at = found[0] < mid ? found[0] : found[1];
    if (firstInvalid)
        *firstInvalid = at;
    return at == bytes.size();
}

std::optional<SourceEncoding> encodingFromStart(std::string_view start)
{
    SourceEncoding result;
    result.mark = findByteOrderMark(start);
    if (result.mark.kind != MarkKind::None) {
        result.encoding = Encoding(formOf(result.mark.kind));
        result.evidence = EncodingEvidence::Mark;
        return result;
    }
    if (auto form = utf16FromNulPattern(start)) {
        result.encoding = Encoding(*form);
        result.evidence = EncodingEvidence::NulPattern;
        return result;
    }
    return std::nullopt;
}

SourceEncoding encodingOfInvalidUtf8(std::string_view fromLine, int64_t utf8Before, bool chineseLocale)
{
    SourceEncoding result;
    result.evidence = EncodingEvidence::Detector;
    const std::string sample = detectorSample(fromLine, 0);
    // UTF-8 with a stray byte or two stays UTF-8: read in a legacy encoding,
    // every one of its other characters would turn into several.
    if (mostlyUtf8(sample, utf8Before))
        return result;
    // Every byte is a character in ISO-8859-1: the guess of last resort.
    result.encoding = guessLegacyEncoding(sample, chineseLocale).value_or(*encodingNamed("ISO-8859-1").encoding);
    return result;
}

int64_t multiByteCharacters(std::string_view validUtf8)
{
    // Every lead byte of a sequence is C2-F4, every other byte below C0.
    int64_t count = 0;
    size_t i = 0;
#ifdef __SSE2__
    // Byte counters, summed every 255 blocks before they wrap: a file read
    // in pieces is counted as it is read.
    const __m128i lead = _mm_set1_epi8(static_cast<char>(0xC0));
    while (i + 16 <= validUtf8.size()) {
        __m128i counters = _mm_setzero_si128();
        for (int round = 0; round < 255 && i + 16 <= validUtf8.size(); ++round, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(validUtf8.data() + i));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(_mm_and_si128(bytes, lead), lead));
        }
        const __m128i total = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(total) + _mm_extract_epi16(total, 4);
    }
#endif
    for (; i < validUtf8.size(); ++i)
        count += static_cast<unsigned char>(validUtf8[i]) >= 0xC0;
    return count;
}

SourceEncoding detectEncoding(std::string_view bytes, bool parallel, bool chineseLocale, bool nulEndsLines)
{
    if (std::optional<SourceEncoding> fromStart = encodingFromStart(bytes))
        if (!nulEndsLines || fromStart->evidence != EncodingEvidence::NulPattern)
            return *fromStart;
    size_t firstInvalid = 0;
    if (isValidUtf8(bytes, &firstInvalid, parallel))
        return SourceEncoding{};
    const size_t lineEnd = bytes.find_last_of("\r\n", firstInvalid);
    const size_t lineStart = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    return encodingOfInvalidUtf8(bytes.substr(lineStart), multiByteCharacters(bytes.substr(0, lineStart)),
                                 chineseLocale);
}

bool isAutoEncoding(std::string_view setting)
{
    const std::string_view name = trimmed(setting);
    return name.empty() || equalsIgnoringCase(name, kAutoEncoding);
}

EncodingChoice chooseEncoding(std::string_view setting, std::string_view bytes, bool parallel, bool nulEndsLines)
{
    EncodingChoice choice;
    const std::string_view name = trimmed(setting);
    if (isAutoEncoding(name)) {
        choice.source = detectEncoding(bytes, parallel, localeIsChinese(), nulEndsLines);
        return choice;
    }
    bool anyOrder = false;
    EncodingLookup found = lookUp(name, &anyOrder);
    if (!found.encoding) {
        choice.refusal = std::move(found.refusal);
        return choice;
    }
    SourceEncoding source;
    source.encoding = *found.encoding;
    source.evidence = EncodingEvidence::Named;
    const ByteOrderMark mark = findByteOrderMark(bytes);
    // "UTF-16" and "UTF-32" name no byte order: the mark or the NUL bytes give it.
    if (anyOrder && source.encoding.form() == EncodingForm::Utf16BE) {
        if (mark.kind == MarkKind::Utf16LE)
            source.encoding = Encoding(EncodingForm::Utf16LE);
        else if (mark.kind == MarkKind::None && utf16FromNulPattern(bytes) == EncodingForm::Utf16LE)
            source.encoding = Encoding(EncodingForm::Utf16LE);
    } else if (anyOrder && source.encoding.form() == EncodingForm::Utf32BE && mark.kind == MarkKind::Utf32LE) {
        source.encoding = Encoding(EncodingForm::Utf32LE);
    }
    const ByteOrderMark own{markOf(source.encoding.form())};
    if (own.kind != MarkKind::None && bytes.starts_with(own.bytes()))
        source.mark = own;
    choice.source = std::move(source);
    return choice;
}

}  // namespace quillow
