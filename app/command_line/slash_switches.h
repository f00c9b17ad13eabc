#pragma once
// The slash switches (/i /o /s /c /r /m /f /x /a /p) split from the
// argument text in one fixed way: a value runs up to the
// next switch text wherever it stands, inside a path or a pattern too.
#include <string>
#include <string_view>
#include <vector>

namespace quillow {

struct SlashSwitches {
    std::string input, output, select;                                // /i /o /s
    std::string caseSensitive, trimLines, saveEmptyLines, applyFilter;  // /c /r /m /p: "on", "off" (any case) or empty
    std::string startPos, pattern, match;                             // /f /x /a
};

// True when text holds a switch text ("/i", "/o" ...) at offset.
bool switchTextAt(std::string_view text, size_t offset);

// The argument text the slash switches are read from: the arguments joined by blanks.
std::string argumentText(const std::vector<std::string>& args);

// Splits and cleans the values: blanks trimmed, then every double quote
// removed; an on/off value that is neither is emptied; a negative /f becomes
// "0" and an /a below -1 becomes "-1". Without any of /i, /o, /s in the text
// every value stays empty.
SlashSwitches splitSlashSwitches(const std::string& argumentText);

}  // namespace quillow
