#include "support/generated_lines.h"

#include <cctype>
#include <random>
#include <vector>

#include "engine/text/text_encoder.h"

namespace quillow::testing {

std::string generatedLines(int lines, int share, uint32_t seed)
{
    std::mt19937 random(seed);
    const char* pieces[] = {"Straße", "STRASSE", "数据", "ＡＢＣ", "abc", "Éclair", "éCLAIR", "line"};
    std::vector<std::string> made;
    std::string bytes;
    for (int i = 0; i < lines; ++i) {
        std::string line;
        const unsigned roll = random() % 100;
        if (roll < 2) {
            line = roll == 0 ? "" : "   ";
        } else if (!made.empty() && roll < 2u + static_cast<unsigned>(share)) {
            line = made[random() % made.size()];
            if (random() % 4 == 0)
                for (char& c : line)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (random() % 4 == 0)
                line = " " + line + "  ";
        } else {
            line = std::string(pieces[random() % 8]) + " " + std::to_string(random() % 1000000) + " " +
                   pieces[random() % 8];
            made.push_back(line);
        }
        bytes += line + "\n";
    }
    return bytes;
}

Options ComparedCase::options() const
{
    Options o;
    o.caseSensitive = caseSensitive;
    o.trimLines = trim;
    o.compatForms = compat;
    o.filterPattern = pattern;
    return o;
}

Encoding ComparedCase::textEncoding() const { return *encoding ? *encodingNamed(encoding).encoding : Encoding(); }

std::string ComparedCase::bytes(uint32_t seed) const
{
    const std::string text = generatedLines(lines, share, seed);
    if (!*encoding)
        return text;
    std::string scratch;
    return std::string(TextEncoder(textEncoding()).encode(text, scratch));
}

}  // namespace quillow::testing
