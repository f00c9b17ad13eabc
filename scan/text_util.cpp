#include "scan/text_util.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cmath>
#include <cstring>
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

bool isBlankOnly(std::string_view s) { return trimBlanks(s).empty(); }

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

bool isAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
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

void foldCase(std::string_view s, std::string& out)
{
    out.clear();
    if (isAscii(s)) {
        out.resize(s.size());
        for (size_t i = 0; i < s.size(); ++i) {
            char c = s[i];
            out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
        return;
    }
    // Fold each valid run through ICU's full case folding; keep invalid bytes.
    std::vector<UChar> u16, folded;
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
            std::string_view run = s.substr(runStart, i - runStart);
            UErrorCode err = U_ZERO_ERROR;
            int32_t n16 = 0;
            u16.resize(run.size() + 1);
            u_strFromUTF8(u16.data(), static_cast<int32_t>(u16.size()), &n16, run.data(),
                          static_cast<int32_t>(run.size()), &err);
            folded.resize(static_cast<size_t>(n16) * 3 + 4);
            err = U_ZERO_ERROR;
            int32_t nf = u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), u16.data(), n16,
                                       U_FOLD_CASE_DEFAULT, &err);
            if (U_FAILURE(err)) {
                out.append(run);
            } else {
                std::string u8(static_cast<size_t>(nf) * 3 + 4, '\0');
                int32_t n8 = 0;
                err = U_ZERO_ERROR;
                u_strToUTF8(u8.data(), static_cast<int32_t>(u8.size()), &n8, folded.data(), nf, &err);
                out.append(u8.data(), static_cast<size_t>(n8));
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
    if (a.size() == b.size() && isAscii(a) && isAscii(b)) {
        for (size_t i = 0; i < a.size(); ++i) {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z')
                x = static_cast<char>(x + 32);
            if (y >= 'A' && y <= 'Z')
                y = static_cast<char>(y + 32);
            if (x != y)
                return false;
        }
        return true;
    }
    return compareIgnoringCase(a, b) == 0;
}

std::string toUpper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

}  // namespace quillow
