#pragma once
// Seeded text for tests that hold two ways of finding duplicates to each
// other, and the ways of comparing they run through.
#include <cstdint>
#include <string>

#include "app/settings/settings.h"
#include "engine/text/text_encoding.h"

namespace quillow::testing {

// lines lines (LF ends) of which about share in a hundred repeat an earlier
// line, some in other letter case or with blanks around them; a few are
// blank; many hold accented, Chinese or full-width letters.
std::string generatedLines(int lines, int share, uint32_t seed);

// One row of such a test: generated lines, how they are compared, their encoding.
struct ComparedCase {
    const char* name;
    int lines, share;
    bool caseSensitive, trim, compat;
    const char* pattern;
    const char* encoding;  // "" for UTF-8

    Options options() const;
    Encoding textEncoding() const;
    // The generated lines in the case's encoding.
    std::string bytes(uint32_t seed) const;
};

}  // namespace quillow::testing
