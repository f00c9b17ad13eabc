#include "app/command_line/slash_switches.h"

#include <array>
#include <string_view>

#include "engine/text/text_util.h"

namespace quillow {

namespace {

struct Switch {
    std::string_view text;
    std::string SlashSwitches::*field;
};

constexpr std::array<Switch, 10> kSwitches{{
    {"/i", &SlashSwitches::input},
    {"/o", &SlashSwitches::output},
    {"/s", &SlashSwitches::select},
    {"/c", &SlashSwitches::caseSensitive},
    {"/r", &SlashSwitches::trimLines},
    {"/m", &SlashSwitches::saveEmptyLines},
    {"/f", &SlashSwitches::startPos},
    {"/x", &SlashSwitches::pattern},
    {"/a", &SlashSwitches::match},
    {"/p", &SlashSwitches::applyFilter},
}};

constexpr std::array<std::string SlashSwitches::*, 4> kOnOffFields{
    &SlashSwitches::caseSensitive, &SlashSwitches::trimLines, &SlashSwitches::saveEmptyLines,
    &SlashSwitches::applyFilter};

}  // namespace

bool switchTextAt(std::string_view text, size_t offset)
{
    if (offset + 2 > text.size())
        return false;
    for (const Switch& s : kSwitches)
        if (text.substr(offset, 2) == s.text)
            return true;
    return false;
}

std::string argumentText(const std::vector<std::string>& args)
{
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i)
            text += ' ';
        text += args[i];
    }
    return text;
}

SlashSwitches splitSlashSwitches(const std::string& text)
{
    SlashSwitches v;
    if (text.find("/i") == std::string::npos && text.find("/o") == std::string::npos &&
        text.find("/s") == std::string::npos)
        return v;

    // Splitting the UTF-8 bytes is safe: '/' and ASCII letters never occur
    // inside a multi-byte sequence.
    std::string* current = nullptr;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '/' && i + 1 < n) {
            const std::string_view pair(text.data() + i, 2);
            const Switch* hit = nullptr;
            for (const Switch& s : kSwitches)
                if (s.text == pair)
                    hit = &s;
            if (hit) {
                current = &(v.*hit->field);
                current->clear();  // a repeated switch replaces the earlier value
                ++i;
                continue;
            }
        }
        if (current)
            current->push_back(text[i]);
    }

    // Blanks first, then quotes: blanks inside quotes at the ends survive.
    for (const Switch& s : kSwitches) {
        std::string& value = v.*s.field;
        std::string cleaned;
        for (char c : trimBlanks(value))
            if (c != '"')
                cleaned.push_back(c);
        value = std::move(cleaned);
    }

    for (auto field : kOnOffFields) {
        std::string& value = v.*field;
        if (!equalIgnoringCase(value, "on") && !equalIgnoringCase(value, "off"))
            value.clear();
    }
    if (leadingNumber(v.startPos) < 0)
        v.startPos = "0";
    if (leadingNumber(v.match) < -1)
        v.match = "-1";
    return v;
}

}  // namespace quillow
