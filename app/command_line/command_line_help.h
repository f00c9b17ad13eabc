#pragma once
// What --help and --version print for each program, and the man pages,
// which are made from the very same texts so that the two cannot drift.
#include <string>

#include "app/command_line/command_line.h"

namespace quillow {

std::string commandLineHelp(Program program);
// The version, the licence, and the versions of Qt, PCRE2 and ICU in use
// (as the libraries report them at run time).
std::string versionText(Program program);
// The program's man page (section 1, roff): the help's texts with markup.
std::string manPage(Program program);

}  // namespace quillow
