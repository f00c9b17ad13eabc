#pragma once
// Seeded text for tests that compare two ways of finding duplicates.
#include <cstdint>
#include <string>

namespace quillow::testing {

// lines lines (LF ends) of which about share in a hundred repeat an earlier
// line, some in other letter case or with blanks around them; a few are
// blank; many hold accented, Chinese or full-width letters.
std::string generatedLines(int lines, int share, uint32_t seed);

}  // namespace quillow::testing
