#include "engine/text/text_encoder.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <stdexcept>

#include "engine/text/escaped_utf.h"
#include "engine/text/text_util.h"

namespace quillow {

TextEncoder::TextEncoder(const Encoding& encoding) : encoding_(encoding)
{
    if (encoding_.form() != EncodingForm::Legacy)
        return;
    UErrorCode err = U_ZERO_ERROR;
    converter_ = ucnv_open(encoding_.converterName().c_str(), &err);
    if (U_FAILURE(err)) {
        ucnv_close(converter_);
        throw std::invalid_argument("unknown encoding " + encoding_.converterName());
    }
    // Every ASCII character encodes as its own byte (checked, not assumed).
    asciiKept_ = true;
    for (char16_t c = 0; c < 0x80 && asciiKept_; ++c) {
        char out[8];
        err = U_ZERO_ERROR;
        const int32_t n = ucnv_fromUChars(converter_, out, sizeof out, &c, 1, &err);
        asciiKept_ = U_SUCCESS(err) && n == 1 && out[0] == static_cast<char>(c);
    }
}

TextEncoder::~TextEncoder() { ucnv_close(converter_); }

void TextEncoder::appendUnits(std::u16string_view run, std::string& out)
{
    const EncodingForm form = encoding_.form();
    auto put = [&](uint32_t v, size_t width, bool bigEndian) {
        for (size_t k = 0; k < width; ++k)
            out.push_back(static_cast<char>(v >> (8 * (bigEndian ? width - 1 - k : k))));
    };
    switch (form) {
    case EncodingForm::Utf16LE:
    case EncodingForm::Utf16BE:
        for (char16_t u : run)
            put(u, 2, form == EncodingForm::Utf16BE);
        return;
    case EncodingForm::Utf32LE:
    case EncodingForm::Utf32BE:
        for (size_t i = 0; i < run.size(); ++i) {
            uint32_t c = run[i];
            if (U16_IS_LEAD(c) && i + 1 < run.size() && U16_IS_TRAIL(run[i + 1]))
                c = U16_GET_SUPPLEMENTARY(c, run[++i]);
            put(c, 4, form == EncodingForm::Utf32BE);
        }
        return;
    case EncodingForm::Utf8:
    case EncodingForm::Legacy:
        break;
    }
    UErrorCode err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter_);
    const size_t at = out.size();
    out.resize(at + UCNV_GET_MAX_BYTES_FOR_STRING(run.size(), ucnv_getMaxCharSize(converter_)));
    const int32_t n = ucnv_fromUChars(converter_, out.data() + at, static_cast<int32_t>(out.size() - at), run.data(),
                                      static_cast<int32_t>(run.size()), &err);
    if (U_FAILURE(err))
        throw std::runtime_error(std::string("ICU encoding: ") + u_errorName(err));
    out.resize(at + static_cast<size_t>(n));
}

std::string_view TextEncoder::encode(std::string_view text, std::string& scratch)
{
    // UTF-8 lines are their own text.
    if (encoding_.isUtf8() || (asciiKept_ && isAscii(text)))
        return text;
    if (u16_.size() < text.size())
        u16_.resize(text.size());
    const std::u16string_view units(u16_.data(), escapedUtf8ToUtf16(text, u16_.data()));
    scratch.clear();
    size_t runStart = 0;
    for (size_t i = 0; i <= units.size(); ++i) {
        // The low half of a pair is a character's, not an escape: decoders
        // give a high surrogate only together with its low one.
        if (i < units.size() && (!isEscape(units[i]) || (i > 0 && U16_IS_LEAD(units[i - 1]))))
            continue;
        if (i > runStart)
            appendUnits(units.substr(runStart, i - runStart), scratch);
        if (i < units.size())
            scratch.push_back(static_cast<char>(units[i] & 0xFF));
        runStart = i + 1;
    }
    return scratch;
}

}  // namespace quillow
