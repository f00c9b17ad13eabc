#pragma once
// Where a save's target goes: the folder that holds it, opened, and the
// name in it. The path is resolved one component at a time, each opened
// relative to the one before, so that a link swapped in meanwhile cannot
// send the rename elsewhere: the rename is made relative to the folder's
// descriptor and never follows the final name. Symbolic links are followed
// as the kernel's fs.protected_symlinks would let them be, whether or not
// it is switched on: never one in a sticky world-writable folder that
// belongs neither to the caller nor to the folder's owner.
#include <sys/stat.h>

#include <string>

#include "engine/io/file_descriptor.h"

namespace quillow {

struct TargetPlace {
    FileDescriptor folder;  // readable when the folder may be read (so it can be flushed), else O_PATH
    bool folderReadable = false;
    std::string folderPath;  // the folder as the path spelled it (for names made in it)
    std::string name;        // the target's name in the folder
    bool exists = false;     // name is there now: a regular file (st describes it)
    struct stat st {};
};

// Resolves path. 0, or the reason it cannot be a target: the system's error
// (ELOOP, ENOTDIR, EISDIR ...), kNotRegularError (it names a device, a FIFO,
// an open descriptor's /proc link ...) or kUnsafeLinkError; culprit names
// what a failure concerns: the link refused, else path itself.
int resolveTarget(const std::string& path, TargetPlace& place, std::string& culprit);

}  // namespace quillow
