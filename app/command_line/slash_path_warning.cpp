#include "app/command_line/slash_path_warning.h"

#include <sys/stat.h>

#include "app/command_line/slash_switches.h"

namespace quillow {

namespace {

bool holdsSwitchText(const std::string& arg)
{
    for (size_t i = 0; i + 2 <= arg.size(); ++i)
        if (switchTextAt(arg, i))
            return true;
    return false;
}

// A bare switch ("/i"), or a packed one ("/iin.txt"), names nothing on disk;
// a path does, or at least its folder does.
bool namesAPath(const std::string& arg)
{
    struct stat st {};
    if (::lstat(arg.c_str(), &st) == 0)
        return true;
    const size_t slash = arg.find_last_of('/');
    return slash != 0 && slash != std::string::npos && ::stat(arg.substr(0, slash).c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

}  // namespace

std::string pathCutBySwitches(const std::vector<std::string>& args)
{
    for (const std::string& arg : args)
        if (arg.size() > 2 && arg[0] == '/' && holdsSwitchText(arg) && namesAPath(arg))
            return arg;
    return {};
}

}  // namespace quillow
