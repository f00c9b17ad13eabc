#pragma once
// UTF conversions that keep every invalid source byte as a character of its
// own, so that decoding stays injective: byte b becomes the code point
// U+DC00 + b, a lone low surrogate that no valid decoding yields (and that
// ICU's case folding and normalisation leave alone). Written as UTF-8 it takes
// the bytes ED B0 80 .. ED B3 BF, which are not valid UTF-8 and so never equal
// a real character's.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillow {

inline constexpr char16_t kEscapeBase = 0xDC00;
inline constexpr char16_t escapeOf(unsigned char b) { return static_cast<char16_t>(kEscapeBase + b); }
inline constexpr bool isEscape(char16_t u) { return (u & 0xFF00) == kEscapeBase; }

// UTF-16 that is valid apart from escapes, written as UTF-8 at out (room for
// 3 bytes per unit); escapes become U+FFFD when replaceEscapes. Returns the
// bytes written.
size_t utf16ToUtf8(std::u16string_view in, char* out, bool replaceEscapes);

// UTF-8 to UTF-16 at out (room for one unit per byte); every byte that does
// not belong to a valid sequence becomes an escape. Returns the units written.
size_t utf8ToUtf16(std::string_view in, char16_t* out);

// Decoded text (UTF-8 with escapes, as utf16ToUtf8 writes it) back to UTF-16
// at out (room for one unit per byte): each escape's three bytes become the
// escape again; any other invalid byte becomes an escape of its own.
size_t escapedUtf8ToUtf16(std::string_view in, char16_t* out);

// UTF-16 or UTF-32 bytes (bigEndian as given) to UTF-16 at out (room for one
// unit per byte); a unit that is no character (a lone surrogate, a value past
// U+10FFFF) and an incomplete unit at the end become one escape per byte.
// Returns the units written.
size_t utf16BytesToUtf16(std::string_view in, bool bigEndian, char16_t* out);
// The ASCII units at the start of UTF-16 bytes, one byte each at out (room
// for one byte per unit); returns how many there are.
size_t packAsciiUtf16(std::string_view in, bool bigEndian, char* out);
size_t utf32BytesToUtf16(std::string_view in, bool bigEndian, char16_t* out);

}  // namespace quillow
