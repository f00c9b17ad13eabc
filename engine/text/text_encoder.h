#pragma once
// Decoded text (UTF-8 with escapes, see line_decoder.h) written back in the
// encoding it was decoded from. Each escape becomes the byte it stands for,
// so the text of a line, or any part of it, gives back the line's own bytes:
// what the save writes when it writes lines the way they are compared.
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/text_encoding.h"

struct UConverter;

namespace quillow {

class TextEncoder {
public:
    // Throws std::invalid_argument when a legacy encoding's converter cannot be opened.
    explicit TextEncoder(const Encoding& encoding);
    TextEncoder(const TextEncoder&) = delete;
    TextEncoder& operator=(const TextEncoder&) = delete;
    ~TextEncoder();

    // The bytes of text in the encoding; views text (UTF-8, and ASCII in
    // encodings that keep it) or scratch.
    std::string_view encode(std::string_view text, std::string& scratch);

private:
    void appendUnits(std::u16string_view run, std::string& out);

    Encoding encoding_;
    UConverter* converter_ = nullptr;
    bool asciiKept_ = false;
    std::vector<char16_t> u16_;
};

}  // namespace quillow
