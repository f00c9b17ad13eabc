#pragma once
// Whether the start of a file looks like something other than text: NUL
// bytes or control characters that no text encoding explains (an ELF
// program, an image, a compressed archive). UTF-16 and UTF-32, with or
// without their mark, explain their NUL bytes.
#include <cstddef>
#include <string_view>

namespace quillow {

// How much of a file's start the check reads.
inline constexpr size_t kBinaryCheckBytes = size_t{1} << 16;

// head: the file's first kBinaryCheckBytes (or all of a shorter file);
// encodingSetting: the textEncoding setting the scan would use.
bool looksBinary(std::string_view head, std::string_view encodingSetting);

}  // namespace quillow
