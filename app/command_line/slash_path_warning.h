#pragma once
// The slash switches cut words apart: in "/o /data/x/out.txt" the "/x"
// inside the path starts a switch of its own. Such a run rarely does what
// was meant; quillow-cli warns and points to the GNU options.
#include <string>
#include <vector>

namespace quillow {

// The first argument in which a switch text is glued to the text before it
// ("/data/x", "in.txt/o"), whether or not that names anything on disk.
// Empty when there is none.
std::string pathCutBySwitches(const std::vector<std::string>& args);

}  // namespace quillow
