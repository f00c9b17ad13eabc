#include "engine/text/binary_text.h"

#include <cstdint>

#include "engine/text/text_encoding.h"

namespace quillow {

namespace {

// Controls that text uses: tab, line feed, vertical tab, form feed, carriage
// return and escape (terminal colours in logs). Every other C0 control, NUL
// included, counts against the text.
bool strayControl(uint32_t unit)
{
    return unit < 0x20 && !(unit >= 0x09 && unit <= 0x0D) && unit != 0x1B;
}

// A few stray controls happen in real text (a form feed's neighbours, a
// stray SUB at the end of a DOS file); one in a hundred units does not.
bool tooMany(size_t stray, size_t units) { return stray > 0 && stray * 100 >= units; }

}  // namespace

bool looksBinary(std::string_view head, std::string_view encodingSetting)
{
    if (head.empty())
        return false;
    const EncodingChoice choice = chooseEncoding(encodingSetting, head);
    // An encoding named but unusable is reported by the scan itself.
    const Encoding encoding = choice.source ? choice.source->encoding : Encoding();
    const size_t start = choice.source ? choice.source->textStart() : 0;
    const std::string_view text = head.substr(start);
    const size_t unit = encoding.unitSize();
    const size_t units = text.size() / unit;
    if (units == 0)
        return false;
    size_t stray = 0;
    const auto* b = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < units; ++i) {
        const unsigned char* u = b + i * unit;
        uint32_t value = 0;
        switch (encoding.form()) {
        case EncodingForm::Utf16LE:
            value = u[0] | (u[1] << 8);
            break;
        case EncodingForm::Utf16BE:
            value = (u[0] << 8) | u[1];
            break;
        case EncodingForm::Utf32LE:
            value = u[0] | (u[1] << 8) | (u[2] << 16) | (uint32_t{u[3]} << 24);
            break;
        case EncodingForm::Utf32BE:
            value = (uint32_t{u[0]} << 24) | (u[1] << 16) | (u[2] << 8) | u[3];
            break;
        default:
            // A NUL byte is never text in a byte-wide encoding.
            if (u[0] == 0)
                return true;
            value = u[0];
            break;
        }
        if (strayControl(value))
            ++stray;
    }
    return tooMany(stray, units);
}

}  // namespace quillow
