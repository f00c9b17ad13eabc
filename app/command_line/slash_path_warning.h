#pragma once
// The slash switches cut absolute paths apart: in "/i /home/x/in.txt" the
// "/x" and the "/i" inside the path start switches of their own. Such a run
// rarely does what was meant; quillow-cli warns and points to the GNU
// options.
#include <string>
#include <vector>

namespace quillow {

// The first argument that looks like an absolute path holding a switch text:
// it exists, or its folder (other than "/") does. Empty when there is none.
std::string pathCutBySwitches(const std::vector<std::string>& args);

}  // namespace quillow
