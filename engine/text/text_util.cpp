#include "engine/text/text_util.h"

#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace quillow {

std::string_view trimBlanks(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

// Looks no further than the first character that is not a blank.
bool isBlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

size_t utf8CharLength(std::string_view s, size_t i)
{
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    int32_t len = static_cast<int32_t>(s.size());
    int32_t j = static_cast<int32_t>(i);
    UChar32 c;
    U8_NEXT(p, j, len, c);
    if (c < 0)
        return 1;
    return static_cast<size_t>(j) - i;
}

void utf8Characters(std::string_view s, std::vector<CharAt>& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const auto len = static_cast<int32_t>(s.size());
    for (int32_t i = 0; i < len;) {
        const int32_t at = i;
        UChar32 c;
        U8_NEXT(p, i, len, c);
        out.push_back({c < 0 ? kNoCharacter : static_cast<char32_t>(c), static_cast<uint32_t>(at)});
    }
}

namespace {

// Eight bytes at a time: keys are hashed and compared once per line of files
// with tens of millions of lines.
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHigh = 0x8080808080808080ull;

uint64_t load8(const char* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// 'A'..'Z' -> 'a'..'z' in each byte of an all-ASCII word.
uint64_t lower8(uint64_t x)
{
    const uint64_t geA = x + (0x80 - 'A') * kOnes;
    const uint64_t gtZ = x + (0x7F - 'Z') * kOnes;
    return x | (((geA ^ gtZ) & kHigh) >> 2);
}

char lower1(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool isAscii(std::string_view s)
{
    const char* p = s.data();
    size_t n = s.size(), i = 0;
    uint64_t acc = 0;
    for (; i + 8 <= n; i += 8)
        acc |= load8(p + i);
    for (; i < n; ++i)
        acc |= static_cast<unsigned char>(p[i]);
    return (acc & kHigh) == 0;
}

std::string_view dropChars(std::string_view s, int64_t n)
{
    size_t i = 0;
    while (n > 0 && i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        i += c < 0x80 ? 1 : utf8CharLength(s, i);
        --n;
    }
    return s.substr(i);
}

// Reads [+-]digits[.digits] the same way under every locale (strtod would
// take the decimal comma of the user's locale).
static double parseDecimal(std::string_view s)
{
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

double leadingNumber(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9')
            ++j;
        if (j > i + 1 || i > digits)
            i = j;
    }
    if (i == digits || (i == digits + 1 && s[digits] == '.'))
        return 0;
    return parseDecimal(s.substr(start, i - start));
}

std::optional<double> parseNumber(std::string_view s)
{
    s = trimBlanks(s);
    if (s.empty())
        return std::nullopt;
    size_t i = 0;
    if (s[i] == '-' || s[i] == '+')
        ++i;
    size_t intDigits = 0, fracDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++intDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++fracDigits;
        }
    }
    if (i != s.size() || intDigits + fracDigits == 0)
        return std::nullopt;
    return parseDecimal(s);
}

static std::optional<int64_t> roundHalfEven(double v, int64_t lo, int64_t hi)
{
    if (!std::isfinite(v))
        return std::nullopt;
    double r = std::nearbyint(v);  // default rounding mode: halves to even
    if (r < static_cast<double>(lo) || r > static_cast<double>(hi))
        return std::nullopt;
    return static_cast<int64_t>(r);
}

std::optional<int16_t> toInt16(double v)
{
    auto r = roundHalfEven(v, INT16_MIN, INT16_MAX);
    if (!r)
        return std::nullopt;
    return static_cast<int16_t>(*r);
}

std::optional<int32_t> toInt32(double v)
{
    auto r = roundHalfEven(v, INT32_MIN, INT32_MAX);
    if (!r)
        return std::nullopt;
    return static_cast<int32_t>(*r);
}

int digitCount(int64_t n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

std::string padNumber(int64_t n, int width)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    size_t len = static_cast<size_t>(res.ptr - buf);
    std::string out;
    if (static_cast<int>(len) < width)
        out.assign(static_cast<size_t>(width) - len, '0');
    out.append(buf, len);
    return out;
}

void lowerAscii(const char* src, size_t n, char* dst)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v = lower8(load8(src + i));
        std::memcpy(dst + i, &v, 8);
    }
    for (; i < n; ++i)
        dst[i] = lower1(src[i]);
}

namespace {

// One case map per thread, for the whole run of the program.
const UCaseMap* caseMap()
{
    thread_local const std::unique_ptr<UCaseMap, decltype(&ucasemap_close)> map = [] {
        UErrorCode err = U_ZERO_ERROR;
        return std::unique_ptr<UCaseMap, decltype(&ucasemap_close)>(ucasemap_open("", U_FOLD_CASE_DEFAULT, &err),
                                                                      &ucasemap_close);
    }();
    return map.get();
}

}  // namespace

void foldCase(std::string_view s, std::string& out)
{
    out.clear();
    if (isAscii(s)) {
        out.resize(s.size());
        lowerAscii(s.data(), s.size(), out.data());
        return;
    }
    // Each valid run through ICU's full case folding on UTF-8; invalid bytes
    // stay as they are.
    size_t i = 0;
    while (i < s.size()) {
        size_t runStart = i;
        while (i < s.size()) {
            unsigned char c = static_cast<unsigned char>(s[i]);
            if (c < 0x80) {
                ++i;
                continue;
            }
            const auto* p = reinterpret_cast<const uint8_t*>(s.data());
            int32_t j = static_cast<int32_t>(i);
            UChar32 cp;
            U8_NEXT(p, j, static_cast<int32_t>(s.size()), cp);
            if (cp < 0)
                break;
            i = static_cast<size_t>(j);
        }
        if (i > runStart) {
            const std::string_view run = s.substr(runStart, i - runStart);
            // Full folding can grow a text (ß to ss): retry once with the size asked for.
            const size_t at = out.size();
            out.resize(at + run.size() * 3 + 4);
            UErrorCode err = U_ZERO_ERROR;
            int32_t n = ucasemap_utf8FoldCase(caseMap(), out.data() + at, static_cast<int32_t>(out.size() - at),
                                              run.data(), static_cast<int32_t>(run.size()), &err);
            if (err == U_BUFFER_OVERFLOW_ERROR) {
                out.resize(at + static_cast<size_t>(n));
                err = U_ZERO_ERROR;
                n = ucasemap_utf8FoldCase(caseMap(), out.data() + at, n, run.data(), static_cast<int32_t>(run.size()),
                                          &err);
            }
            if (U_FAILURE(err)) {
                out.resize(at);
                out.append(run);
            } else {
                out.resize(at + static_cast<size_t>(n));
            }
        }
        if (i < s.size()) {  // an invalid byte stays as it is
            out.push_back(s[i]);
            ++i;
        }
    }
}

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    std::string fa, fb;
    foldCase(a, fa);
    foldCase(b, fb);
    int c = fa.compare(fb);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() == b.size()) {
        // Fast path while both are ASCII; the first non-ASCII word hands over
        // to full case folding.
        const char* p = a.data();
        const char* q = b.data();
        size_t i = 0, n = a.size();
        for (; i + 8 <= n; i += 8) {
            uint64_t x = load8(p + i), y = load8(q + i);
            if ((x | y) & kHigh)
                return compareIgnoringCase(a, b) == 0;
            if (lower8(x) != lower8(y))
                return false;
        }
        for (; i < n; ++i) {
            if ((p[i] | q[i]) & 0x80)
                return compareIgnoringCase(a, b) == 0;
            if (lower1(p[i]) != lower1(q[i]))
                return false;
        }
        return true;
    }
    if (isAscii(a) && isAscii(b))
        return false;  // ASCII folds keep the length
    return compareIgnoringCase(a, b) == 0;
}

}  // namespace quillow
