#pragma once
// The part of a line that the field and character rules leave for
// comparison, in this order: one field (-k, fields ending at a separator or
// separated by blanks), leading fields skipped (-f), blanks trimmed at both
// ends, leading characters skipped (-s), at most so many characters kept
// (-w). A field that starts with a double quote runs to its closing quote
// ("" inside stands for one quote), so a quoted CSV field may hold the
// separator. Blanks between fields are spaces and tabs, as uniq and awk take
// them; trimming removes U+0020 only, as the desktop program does.
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/text/text_util.h"

namespace quillow {

struct FieldRules {
    int64_t keyField = 0;       // 1-based; 0: the whole line
    char32_t separator = 0;     // 0: runs of blanks separate fields
    int64_t skipFields = 0;
    bool trim = false;
    int64_t skipChars = 0;
    int64_t checkChars = -1;    // -1: every character
};

// The separator a text names: its one character, or 0 for none.
char32_t separatorOf(std::string_view utf8);

// The byte range [first, second) of the line the rules leave; chars are the
// line's characters (lineSize bytes in all).
std::pair<size_t, size_t> keyRange(const FieldRules& rules, std::span<const CharAt> chars, size_t lineSize);

}  // namespace quillow
