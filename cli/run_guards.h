#pragma once
// What quillow-cli adds around a run beyond its front end: warnings before it
// starts, and a clear last word when memory runs out where nothing else
// catches it.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line/command_line.h"

namespace quillow {

// A path the slash switches cut apart, and a settings file the run cannot
// use, each as a line on err. Comes before any error, so that the error
// stays the last line.
void warnBeforeRun(const std::vector<std::string>& args, const CommandLine& command, std::FILE* err = stderr);

// Running out of memory outside the scan and the save (which report it
// themselves) ends with a message and status 3, its temporary files
// removed, instead of an abort.
void installOutOfMemoryHandler();

}  // namespace quillow
