#pragma once
// The bash, zsh and fish completions of either program, made from the
// option table at build time. zsh and fish describe the options in the
// interface's language, which they choose when they load as the programs
// do: Chinese when the locale's first language (LANGUAGE's first entry,
// else LC_ALL, LC_MESSAGES, LANG) is Chinese, English otherwise.
#include <string>
#include <vector>

#include "app/command_line/option_table.h"

namespace quillow {

// Per row of the option table, what a completion says of it (the first line
// of its help) in the interface language.
std::vector<std::string> completionDescriptions();

std::string bashCompletion(Program program);
// chinese and english: completionDescriptions() in each language.
std::string zshCompletion(Program program, const std::vector<std::string>& chinese,
                          const std::vector<std::string>& english);
std::string fishCompletion(Program program, const std::vector<std::string>& chinese,
                           const std::vector<std::string>& english);

}  // namespace quillow
