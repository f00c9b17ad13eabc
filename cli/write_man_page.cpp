// Build tool: writes a program's man page, made from its --help texts.
// usage: quillow-write-man-page quillow|quillow-cli OUTPUT
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/command_line_help.h"

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "quillow") != 0 && std::strcmp(argv[1], "quillow-cli") != 0)) {
        std::fputs("usage: quillow-write-man-page quillow|quillow-cli OUTPUT\n", stderr);
        return 2;
    }
    const auto program = std::strcmp(argv[1], "quillow") == 0 ? quillow::Program::Desktop : quillow::Program::Cli;
    const std::string page = quillow::manPage(program);
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out || std::fputs(page.c_str(), out) < 0 || std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
