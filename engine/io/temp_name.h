#pragma once
// The name of the temporary file a save writes beside its target: the
// target's name, a random tag and kTempSuffix, so a run only ever removes a
// file it created itself (or, where files cannot be made unnamed, a stale
// one of its own target). The name fits the folder's limit whatever the
// target's length: the part taken from the target's name is shortened.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillow {

inline constexpr const char* kTempSuffix = ".quillowtemp";

// Eight random letters and digits.
std::string randomTag();

// target's folder, then target's name cut (at a character boundary) so that
// name + "." + tag + kTempSuffix holds at most nameMax bytes, then the rest.
std::string temporaryPath(std::string_view target, std::string_view tag, size_t nameMax);

// True when candidate is what temporaryPath makes of name with some tag of
// six to eight letters and digits.
bool isTemporaryNameOf(std::string_view name, std::string_view candidate, size_t nameMax);

}  // namespace quillow
