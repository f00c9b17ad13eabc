#include "engine/dedup/key_fields.h"

#include <algorithm>
#include <vector>

namespace quillow {

namespace {

constexpr char32_t kQuote = U'"';

bool isBlank(char32_t c) { return c == U' ' || c == U'\t'; }

// Where the field that starts at p ends: at the separator after it, or at end.
size_t fieldEnd(std::span<const CharAt> chars, size_t p, size_t end, char32_t separator)
{
    if (p < end && chars[p].c == kQuote && separator != kQuote) {
        for (++p; p < end; ++p) {
            if (chars[p].c != kQuote)
                continue;
            if (p + 1 < end && chars[p + 1].c == kQuote) {
                ++p;
                continue;
            }
            ++p;
            break;
        }
    }
    while (p < end && chars[p].c != separator)
        ++p;
    return p;
}

// Past a run of blanks, then past a run of other characters.
size_t pastBlankField(std::span<const CharAt> chars, size_t p, size_t end)
{
    while (p < end && isBlank(chars[p].c))
        ++p;
    while (p < end && !isBlank(chars[p].c))
        ++p;
    return p;
}

}  // namespace

char32_t separatorOf(std::string_view utf8)
{
    std::vector<CharAt> chars;
    utf8Characters(utf8, chars);
    return chars.size() == 1 && chars[0].c != kNoCharacter ? chars[0].c : 0;
}

std::pair<size_t, size_t> keyRange(const FieldRules& rules, std::span<const CharAt> chars, size_t lineSize)
{
    const size_t n = chars.size();
    size_t b = 0, e = n;
    if (rules.keyField > 0) {
        size_t p = 0;
        for (int64_t field = 1;; ++field) {
            size_t start = p, end = 0;
            if (rules.separator) {
                end = fieldEnd(chars, p, n, rules.separator);
            } else {
                while (start < n && isBlank(chars[start].c))
                    ++start;
                end = pastBlankField(chars, start, n);
            }
            if (field == rules.keyField) {
                b = start;
                e = end;
                break;
            }
            if (end >= n) {  // fewer fields: nothing to compare
                b = e = n;
                break;
            }
            p = rules.separator ? end + 1 : end;
        }
    }
    for (int64_t skipped = 0; skipped < rules.skipFields && b < e; ++skipped) {
        if (rules.separator) {
            const size_t end = fieldEnd(chars, b, e, rules.separator);
            b = end < e ? end + 1 : e;
        } else {
            b = pastBlankField(chars, b, e);
        }
    }
    if (rules.trim) {
        while (b < e && chars[b].c == U' ')
            ++b;
        while (e > b && chars[e - 1].c == U' ')
            --e;
    }
    b += static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(rules.skipChars, 0), static_cast<int64_t>(e - b)));
    if (rules.checkChars >= 0)
        e = std::min(e, b + static_cast<size_t>(std::min<int64_t>(rules.checkChars, static_cast<int64_t>(e - b))));
    auto offset = [&](size_t i) { return i < n ? static_cast<size_t>(chars[i].at) : lineSize; };
    return {offset(b), offset(e)};
}

}  // namespace quillow
