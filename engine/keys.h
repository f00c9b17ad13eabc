#pragma once
// The comparison key of a line: the line without blanks at both ends (trim),
// without its first characters (start position), reduced to what the line
// filter selects, compared exactly or ignoring letter case.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/keyed_set.h"
#include "engine/line_filter.h"
#include "engine/settings.h"

namespace quillow {

struct KeyRules {
    bool trim = false;                  // drop U+0020 blanks at both ends
    int64_t startPos = 0;               // characters dropped at the start
    const LineFilter* filter = nullptr; // none when null
    int filterMatch = 0;                // which match is the key (LineFilter::select)
    CompareMode mode = CompareMode::Text;
};

// The line filter the options ask for: nullptr when there is no pattern or
// PCRE2 refuses it (the lines are then compared unfiltered, silently).
std::unique_ptr<LineFilter> filterFor(const Options& options);

// The rules of the options, with the filter made by filterFor.
KeyRules keyRules(const Options& options, const LineFilter* filter);

// The key of one line; the result views line or scratch.
std::string_view lineKey(const KeyRules& rules, std::string_view line, std::string& scratch);

}  // namespace quillow
