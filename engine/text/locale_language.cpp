#include "engine/text/locale_language.h"

#include <cstdlib>

namespace quillow {

std::string localeLanguage()
{
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string_view names(value);
        // LANGUAGE is a list of preferences: its first entry counts.
        while (!names.empty()) {
            const size_t colon = names.find(':');
            const std::string_view first = names.substr(0, colon);
            if (!first.empty())
                return std::string(first);
            if (colon == std::string_view::npos)
                break;
            names.remove_prefix(colon + 1);
        }
    }
    return {};
}

bool isChineseLanguage(std::string_view name)
{
    return name.size() >= 2 && (name[0] == 'z' || name[0] == 'Z') && (name[1] == 'h' || name[1] == 'H') &&
           (name.size() == 2 || name[2] == '_' || name[2] == '-' || name[2] == '.' || name[2] == '@');
}

}  // namespace quillow
