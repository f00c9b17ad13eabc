#include "engine/text/line_decoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>

#include <stdexcept>

#include "engine/text/escaped_utf.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// Every byte ICU finds invalid or unmapped becomes an escape of its own.
void escapeInvalidBytes(const void*, UConverterToUnicodeArgs* args, const char* bytes, int32_t length,
                        UConverterCallbackReason reason, UErrorCode* err)
{
    if (reason > UCNV_IRREGULAR)  // reset, close, clone: nothing to write
        return;
    *err = U_ZERO_ERROR;
    for (int32_t i = 0; i < length && U_SUCCESS(*err); ++i) {
        const UChar escape = escapeOf(static_cast<unsigned char>(bytes[i]));
        ucnv_cbToUWriteUChars(args, &escape, 1, i, err);
    }
}

UConverter* openConverter(const Encoding& encoding)
{
    UErrorCode err = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(encoding.converterName().c_str(), &err);
    if (U_SUCCESS(err))
        ucnv_setToUCallBack(cnv, escapeInvalidBytes, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err)) {
        ucnv_close(cnv);
        throw std::invalid_argument("unknown encoding " + encoding.converterName());
    }
    return cnv;
}

bool keepsAscii(UConverter* cnv)
{
    for (int b = 0; b < 0x80; ++b) {
        const char in = static_cast<char>(b);
        UChar out[4];
        UChar* target = out;
        const char* source = &in;
        UErrorCode err = U_ZERO_ERROR;
        ucnv_resetToUnicode(cnv);
        ucnv_toUnicode(cnv, &target, out + 4, &source, &in + 1, nullptr, true, &err);
        if (U_FAILURE(err) || target != out + 1 || out[0] != b)
            return false;
    }
    return true;
}

}  // namespace

LineDecoder::LineDecoder(const Encoding& encoding) : encoding_(encoding)
{
    if (encoding_.form() == EncodingForm::Legacy) {
        converter_ = openConverter(encoding_);
        asciiKept_ = keepsAscii(converter_);
    }
}

LineDecoder::LineDecoder(const LineDecoder& other) : encoding_(other.encoding_), asciiKept_(other.asciiKept_)
{
    if (encoding_.form() == EncodingForm::Legacy)
        converter_ = openConverter(encoding_);
}

LineDecoder::~LineDecoder() { ucnv_close(converter_); }

bool LineDecoder::passesThrough(std::string_view line) const
{
    return encoding_.isUtf8() || (asciiKept_ && isAscii(line));
}

size_t LineDecoder::toUtf16(std::string_view line, bool withOffsets)
{
    // One unit per byte covers the UTF forms (escapes included); legacy
    // encodings grow the buffer when a byte maps to more.
    if (u16_.size() < line.size() + 16)
        u16_.resize(line.size() + line.size() / 2 + 16);
    switch (encoding_.form()) {
    case EncodingForm::Utf8:
        return utf8ToUtf16(line, u16_.data());
    case EncodingForm::Utf16LE:
    case EncodingForm::Utf16BE:
        return utf16BytesToUtf16(line, encoding_.form() == EncodingForm::Utf16BE, u16_.data());
    case EncodingForm::Utf32LE:
    case EncodingForm::Utf32BE:
        return utf32BytesToUtf16(line, encoding_.form() == EncodingForm::Utf32BE, u16_.data());
    case EncodingForm::Legacy:
        break;
    }
    ucnv_resetToUnicode(converter_);
    if (withOffsets && u16_.size() < 2 * line.size() + 16)
        u16_.resize(2 * line.size() + 16);
    if (withOffsets && offsets_.size() < u16_.size())
        offsets_.resize(u16_.size());
    const char* source = line.data();
    size_t done = 0;
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        const char* from = source;
        UChar* target = u16_.data() + done;
        int32_t* offsets = withOffsets ? offsets_.data() + done : nullptr;
        ucnv_toUnicode(converter_, &target, u16_.data() + u16_.size(), &source, line.data() + line.size(), offsets,
                       true, &err);
        const size_t got = static_cast<size_t>(target - u16_.data());
        // Offsets count from where each call started reading.
        if (withOffsets && from != line.data())
            for (size_t i = done; i < got; ++i)
                offsets_[i] += static_cast<int32_t>(from - line.data());
        done = got;
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            u16_.resize(u16_.size() * 2);
            if (withOffsets)
                offsets_.resize(u16_.size());
            continue;
        }
        if (U_FAILURE(err))
            throw std::runtime_error(std::string("ICU decoding: ") + u_errorName(err));
        return done;
    }
}

std::optional<std::string_view> LineDecoder::asciiUtf16(std::string_view line, std::string& out)
{
    const EncodingForm form = encoding_.form();
    if ((form != EncodingForm::Utf16LE && form != EncodingForm::Utf16BE) || line.size() % 2 != 0)
        return std::nullopt;
    if (out.size() < line.size() / 2)
        out.resize(line.size() / 2);
    if (packAsciiUtf16(line, form == EncodingForm::Utf16BE, out.data()) != line.size() / 2)
        return std::nullopt;
    return std::string_view(out.data(), line.size() / 2);
}

std::string_view LineDecoder::text(std::string_view line, std::string& scratch)
{
    return passesThrough(line) ? line : decoded(line, scratch, false);
}

std::string_view LineDecoder::displayText(std::string_view line, std::string& scratch)
{
    return (encoding_.isUtf8() ? isValidUtf8(line) : passesThrough(line)) ? line : decoded(line, scratch, true);
}

std::string_view LineDecoder::decoded(std::string_view line, std::string& scratch, bool replaceEscapes)
{
    if (auto ascii = asciiUtf16(line, scratch))
        return *ascii;
    const size_t units = toUtf16(line);
    if (scratch.size() < units * 3)
        scratch.resize(units * 3);
    return std::string_view(scratch.data(),
                            utf16ToUtf8(std::u16string_view(u16_.data(), units), scratch.data(), replaceEscapes));
}

std::string_view LineDecoder::key(std::string_view line, KeyForm& form, std::string& scratch)
{
    if (passesThrough(line))
        return form.of(line, scratch);
    if (auto ascii = asciiUtf16(line, ascii_))
        return form.of(*ascii, scratch);
    const size_t units = toUtf16(line);  // may move u16_
    return form.ofUtf16(std::u16string_view(u16_.data(), units), scratch);
}

std::string_view LineDecoder::trimBlanks(std::string_view line) const
{
    const size_t w = encoding_.unitSize();
    if (w == 1)
        return quillow::trimBlanks(line);
    const bool bigEndian = encoding_.form() == EncodingForm::Utf16BE || encoding_.form() == EncodingForm::Utf32BE;
    std::string blank(w, '\0');
    blank[bigEndian ? w - 1 : 0] = ' ';
    while (line.size() >= w && line.starts_with(blank))
        line.remove_prefix(w);
    // An incomplete unit at the end is no blank.
    while (line.size() >= w && line.size() % w == 0 && line.ends_with(blank))
        line.remove_suffix(w);
    return line;
}

std::string_view LineDecoder::dropChars(std::string_view line, int64_t n)
{
    if (n <= 0)
        return line;
    if (encoding_.isUtf8())
        return quillow::dropChars(line, n);
    if (encoding_.form() == EncodingForm::Legacy) {
        // ICU tells where each unit's character started; the escapes of one
        // invalid sequence sit at consecutive bytes.
        const size_t units = toUtf16(line, true);
        size_t i = 0;
        for (; i < units && n > 0; --n)
            i += U16_IS_LEAD(u16_[i]) && i + 1 < units && U16_IS_TRAIL(u16_[i + 1]) ? 2 : 1;
        if (i >= units)
            return std::string_view(line.data() + line.size(), 0);
        while (i > 0 && offsets_[i] < 0)  // a unit ICU held over from a full buffer
            --i;
        return line.substr(static_cast<size_t>(std::max(offsets_[i], 0)));
    }
    // UTF-16 and UTF-32: a character is a unit or a valid surrogate pair. A
    // unit that is no character counts as one, so that the rest of the line
    // keeps its units; so does an incomplete unit at the end.
    const size_t w = encoding_.unitSize();
    const bool bigEndian = encoding_.form() == EncodingForm::Utf16BE;
    auto unit16 = [&](size_t at) {
        const auto a = static_cast<unsigned char>(line[at]), b = static_cast<unsigned char>(line[at + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    const size_t units = line.size() - line.size() % w;
    size_t pos = 0;
    for (; n > 0 && pos < units; --n)
        pos += w == 2 && U16_IS_LEAD(unit16(pos)) && pos + 4 <= units && U16_IS_TRAIL(unit16(pos + 2)) ? 4 : w;
    if (n > 0)
        pos = line.size();
    return line.substr(std::min(pos, line.size()));
}

void LineDecoder::characters(std::string_view line, std::vector<CharAt>& out)
{
    if (passesThrough(line))
        return utf8Characters(line, out);
    out.clear();
    const EncodingForm form = encoding_.form();
    if (form == EncodingForm::Legacy) {
        const size_t units = toUtf16(line, true);
        uint32_t at = 0;
        for (size_t i = 0; i < units;) {
            // A unit ICU held over from a full buffer belongs where the last one started.
            if (offsets_[i] >= 0)
                at = static_cast<uint32_t>(offsets_[i]);
            char32_t c = u16_[i];
            size_t width = 1;
            if (U16_IS_LEAD(u16_[i]) && i + 1 < units && U16_IS_TRAIL(u16_[i + 1])) {
                c = U16_GET_SUPPLEMENTARY(u16_[i], u16_[i + 1]);
                width = 2;
            }
            out.push_back({isEscape(u16_[i]) ? kNoCharacter : c, at});
            i += width;
        }
        return;
    }
    // UTF-16 and UTF-32, as dropChars counts them.
    const size_t w = encoding_.unitSize();
    const bool bigEndian = form == EncodingForm::Utf16BE || form == EncodingForm::Utf32BE;
    auto unitAt = [&](size_t pos) {
        char32_t v = 0;
        for (size_t k = 0; k < w; ++k)
            v |= static_cast<char32_t>(static_cast<unsigned char>(line[pos + k])) << (8 * (bigEndian ? w - 1 - k : k));
        return v;
    };
    const size_t units = line.size() - line.size() % w;
    size_t pos = 0;
    while (pos < units) {
        char32_t c = unitAt(pos);
        size_t width = w;
        if (w == 2 && U16_IS_LEAD(c) && pos + 4 <= units && U16_IS_TRAIL(unitAt(pos + 2))) {
            c = U16_GET_SUPPLEMENTARY(c, unitAt(pos + 2));
            width = 4;
        } else if (U16_IS_SURROGATE(c) || c > 0x10FFFF) {
            c = kNoCharacter;
        }
        out.push_back({c, static_cast<uint32_t>(pos)});
        pos += width;
    }
    if (pos < line.size())  // an incomplete unit at the end
        out.push_back({kNoCharacter, static_cast<uint32_t>(pos)});
}

}  // namespace quillow
