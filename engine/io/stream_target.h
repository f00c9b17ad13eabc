#pragma once
// Outputs that are streams, not files to replace: /dev/stdout and its kin
// name a descriptor this process already has open (renaming over what it
// leads to would destroy a file appended to, and a pipe has nothing to
// rename over), and a FIFO, a terminal or another device is written to as
// it is. Such a target is written straight, like standard output.
#include <optional>
#include <string>

namespace quillow {

struct StreamTarget {
    int fd = -1;
    bool owned = false;  // opened here: the caller closes it
};

// The stream path names, or nullopt when it names none (a regular file, a
// name still free, a folder: the save's own checks take those). error
// receives why a stream could not be opened (then fd < 0).
std::optional<StreamTarget> openStreamTarget(const std::string& path, int& error);
// Whether path names a stream, looked at without opening anything.
bool namesStream(const std::string& path);

}  // namespace quillow
