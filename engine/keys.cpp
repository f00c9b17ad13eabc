#include "engine/keys.h"

#include <new>

#include "engine/text_util.h"

namespace quillow {

std::unique_ptr<LineFilter> filterFor(const Options& options)
{
    if (options.filterPattern.empty())
        return nullptr;
    try {
        return LineFilter::create(options.filterPattern, !options.caseSensitive);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KeyRules keyRules(const Options& options, const LineFilter* filter)
{
    KeyRules rules;
    rules.trim = options.trimLines;
    rules.startPos = options.startPos;
    rules.filter = filter;
    rules.filterMatch = options.filterMatch;
    rules.mode = options.caseSensitive ? CompareMode::Binary : CompareMode::Text;
    return rules;
}

std::string_view lineKey(const KeyRules& rules, std::string_view line, std::string& scratch)
{
    std::string_view key = line;
    if (rules.trim)
        key = trimBlanks(key);
    if (rules.startPos != 0)
        key = dropChars(key, rules.startPos);
    if (rules.filter)
        key = rules.filter->select(key, rules.filterMatch, scratch);
    return key;
}

}  // namespace quillow
