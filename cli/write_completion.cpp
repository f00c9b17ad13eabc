// Build tool: writes a program's bash, zsh or fish completion, made from the
// option table, with the options described in Chinese and in the language of
// the translation file given (English).
// usage: quillow-write-completion bash|zsh|fish quillow|quillow-cli OUTPUT TRANSLATION.qm
#include <cstdio>
#include <string>

#include "app/command_line/completions.h"
#include "app/translation.h"

int main(int argc, char** argv)
{
    const std::string shell = argc == 5 ? argv[1] : "", name = argc == 5 ? argv[2] : "";
    if ((shell != "bash" && shell != "zsh" && shell != "fish") || (name != "quillow" && name != "quillow-cli")) {
        std::fputs("usage: quillow-write-completion bash|zsh|fish quillow|quillow-cli OUTPUT TRANSLATION.qm\n", stderr);
        return 2;
    }
    const auto program = name == "quillow" ? quillow::Program::Desktop : quillow::Program::Cli;
    const std::vector<std::string> chinese = quillow::completionDescriptions();
    if (!quillow::useTranslationFile(argv[4])) {
        std::fprintf(stderr, "quillow-write-completion: cannot read the translation %s\n", argv[4]);
        return 1;
    }
    const std::vector<std::string> english = quillow::completionDescriptions();
    const std::string script = shell == "bash"  ? quillow::bashCompletion(program)
                               : shell == "zsh" ? quillow::zshCompletion(program, chinese, english)
                                                : quillow::fishCompletion(program, chinese, english);
    std::FILE* out = std::fopen(argv[3], "w");
    if (!out || std::fputs(script.c_str(), out) < 0 || std::fclose(out) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
