#pragma once
// GNU-style command lines written for the options quillow-cli read before
// they took uniq's letters (-i FILE, -s 1|2|3, -c on|off ...). Such a line
// must not silently mean something else now: it is refused, and the refusal
// gives the same run in today's options.
#include <optional>
#include <string>
#include <vector>

namespace quillow {

// The same run written in today's options ("quillow-cli in.txt -o out.txt"),
// when args use a form that is no longer read; nothing otherwise. program
// is the name the line starts with.
std::optional<std::string> todaysSpelling(const std::vector<std::string>& args, const std::string& program);

}  // namespace quillow
