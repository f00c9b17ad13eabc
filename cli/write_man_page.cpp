// Build tool: writes a program's man page, made from its --help texts, in
// Chinese or in the language of the translation file given.
// usage: quillow-write-man-page quillow|quillow-cli OUTPUT [TRANSLATION.qm]
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line/command_line_help.h"
#include "app/translation.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 ||
        (std::strcmp(argv[1], "quillow") != 0 && std::strcmp(argv[1], "quillow-cli") != 0)) {
        std::fputs("usage: quillow-write-man-page quillow|quillow-cli OUTPUT [TRANSLATION.qm]\n", stderr);
        return 2;
    }
    if (argc == 4 && !quillow::useTranslationFile(argv[3])) {
        std::fprintf(stderr, "quillow-write-man-page: cannot read the translation %s\n", argv[3]);
        return 1;
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
