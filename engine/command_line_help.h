#pragma once
// What --help and --version print for each program.
#include <string>

#include "engine/command_line.h"

namespace quillow {

std::string commandLineHelp(Program program);
std::string versionText(Program program);

}  // namespace quillow
