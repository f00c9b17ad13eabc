#include "app/command_line/slash_path_warning.h"

#include "app/command_line/slash_switches.h"

namespace quillow {

std::string pathCutBySwitches(const std::vector<std::string>& args)
{
    // A switch that starts the argument or follows a blank ("/i", "/iin.txt",
    // "/x a|b /a 2") cuts nothing.
    for (const std::string& arg : args)
        for (size_t i = 1; i + 2 <= arg.size(); ++i)
            if (arg[i - 1] != ' ' && switchTextAt(arg, i))
                return arg;
    return {};
}

}  // namespace quillow
