#pragma once
// Stored options that cannot run: a pattern PCRE2 refuses or an encoding
// that is none. A run with them would compare whole lines, or fail later
// without naming where the value came from; they stop it at once with a
// message that names the settings file and the key.
#include <string>

#include "engine/options.h"

namespace quillow {

// The message about the first option in options that cannot run, or empty.
// The command line's own values are checked where they are read, so what
// remains here came from the store.
std::string storedOptionsProblem(const Options& options);

}  // namespace quillow
