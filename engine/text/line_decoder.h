#pragma once
// Decodes a line (a byte range of the source) for comparison and display.
// The source bytes themselves are what the cleaned file gets; decoding only
// serves keys and what the user sees.
//
// The comparison text is UTF-8 in which every byte that is invalid in the
// source encoding is a character of its own (an escape, see escaped_utf.h):
// different byte ranges never decode alike unless they hold the same
// characters. UTF-8 lines, and ASCII lines of encodings that keep ASCII, are
// returned as they are without a copy (invalid UTF-8 bytes stay raw there).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dedup/key_form.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"

struct UConverter;

namespace quillow {

class LineDecoder {
public:
    // Throws std::invalid_argument when a legacy encoding's converter cannot
    // be opened (encodingNamed has checked the name before).
    explicit LineDecoder(const Encoding& encoding);
    // A copy has a converter of its own: one decoder per thread.
    LineDecoder(const LineDecoder& other);
    LineDecoder& operator=(const LineDecoder&) = delete;
    ~LineDecoder();

    const Encoding& encoding() const { return encoding_; }

    // The line as UTF-8 for comparison and the line filter; views line or scratch.
    std::string_view text(std::string_view line, std::string& scratch);
    // The line as valid UTF-8 for lists, viewer, clipboard and --list: each
    // invalid byte shows as U+FFFD. Views line or scratch.
    std::string_view displayText(std::string_view line, std::string& scratch);
    // text() in the form of form, decoded and folded in one pass.
    std::string_view key(std::string_view line, KeyForm& form, std::string& scratch);

    // Key pieces taken from the source bytes, so that a key stays a byte range:
    // U+0020 blanks removed at both ends, and the first n characters dropped
    // (an invalid byte counts as one character).
    std::string_view trimBlanks(std::string_view line) const;
    std::string_view dropChars(std::string_view line, int64_t n);
    // Every character of line with its source offset (text_util.h), for
    // the field rules.
    void characters(std::string_view line, std::vector<CharAt>& out);

private:
    // Decodes line into u16_ (for a legacy encoding with the source offset of
    // each unit in offsets_); returns the number of units.
    size_t toUtf16(std::string_view line, bool withOffsets = false);
    // True when line can be used as its own UTF-8 text.
    bool passesThrough(std::string_view line) const;
    // A UTF-16 line of ASCII characters only, packed into out (most lines
    // of most files take this way).
    std::optional<std::string_view> asciiUtf16(std::string_view line, std::string& out);
    // The line through UTF-16 as UTF-8 in scratch; replaceEscapes: invalid
    // bytes shown as replacement characters rather than kept as escapes.
    std::string_view decoded(std::string_view line, std::string& scratch, bool replaceEscapes);

    Encoding encoding_;
    UConverter* converter_ = nullptr;
    bool asciiKept_ = false;  // every ASCII byte decodes to itself
    std::vector<char16_t> u16_;
    std::vector<int32_t> offsets_;
    std::string ascii_;
};

}  // namespace quillow
