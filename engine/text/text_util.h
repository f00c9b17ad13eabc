#pragma once
// Small text helpers shared by the engine: blanks, character offsets, numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillow {

// Removes U+0020 blanks (only those) from both ends.
std::string_view trimBlanks(std::string_view s);
bool isBlankOnly(std::string_view s);

// Drops the first n characters. A character is a UTF-8 code point; a byte that
// does not start a valid sequence counts as one character.
std::string_view dropChars(std::string_view s, int64_t n);
// Length in bytes of the valid UTF-8 sequence at s[i], or 1 for an invalid byte.
size_t utf8CharLength(std::string_view s, size_t i);

// A character of a line and the byte offset where it starts. A byte or unit
// that is no character counts as one, as kNoCharacter.
struct CharAt {
    char32_t c;
    uint32_t at;
};
inline constexpr char32_t kNoCharacter = 0xFFFFFFFF;
// The characters of a UTF-8 text.
void utf8Characters(std::string_view s, std::vector<CharAt>& out);
bool isAscii(std::string_view s);

// The decimal number at the start of the text (after blanks), like a lenient
// numeric reading: "12x" -> 12, "abc" -> 0, "-3" -> -3, "2.5" -> 2.5.
double leadingNumber(std::string_view s);
// Strict reading of a whole text as a number (decimal, optional sign and
// fraction, blanks around allowed); nullopt when it is not a number.
std::optional<double> parseNumber(std::string_view s);
// Rounds to the nearest integer, halves to the even neighbour; nullopt when
// the result does not fit.
std::optional<int16_t> toInt16(double v);
std::optional<int32_t> toInt32(double v);

// counter + amount, held at the ends of the 32-bit range instead of wrapping:
// usage statistics add up over years of runs and must never turn negative.
inline int32_t addSaturating(int32_t counter, int64_t amount)
{
    constexpr int64_t lo = INT32_MIN, hi = INT32_MAX;
    if (amount > hi - lo)
        amount = hi - lo;
    else if (amount < lo - hi)
        amount = lo - hi;
    int64_t sum = int64_t{counter} + amount;
    return static_cast<int32_t>(sum < lo ? lo : (sum > hi ? hi : sum));
}

// Decimal text of n padded on the left with '0' to width digits.
std::string padNumber(int64_t n, int width);
int digitCount(int64_t n);

// Compares ignoring letter case (full Unicode case folding): <0, 0, >0.
int compareIgnoringCase(std::string_view a, std::string_view b);
bool equalIgnoringCase(std::string_view a, std::string_view b);

// Lower-cases the n ASCII bytes at src into dst (the input must be ASCII).
void lowerAscii(const char* src, size_t n, char* dst);
// The case-folded form of s: equal texts ignoring case give equal folds.
// Invalid bytes are kept as they are.
void foldCase(std::string_view s, std::string& out);

}  // namespace quillow
