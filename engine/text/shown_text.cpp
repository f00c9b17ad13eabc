#include "engine/text/shown_text.h"

#include "engine/text/escaped_utf.h"
#include "engine/text/text_util.h"

namespace quillow {

std::string shownDecodedText(std::string_view decoded)
{
    if (isAscii(decoded))
        return std::string(decoded);
    std::vector<char16_t> units(decoded.size());
    const size_t n = escapedUtf8ToUtf16(decoded, units.data());
    std::string out(n * 3, '\0');
    out.resize(utf16ToUtf8(std::u16string_view(units.data(), n), out.data(), true));
    return out;
}

ShownText::ShownText(const Encoding& encoding) : asIs_(encoding.isUtf8()), decoder_(encoding) {}

std::string_view ShownText::line(std::string_view bytes, std::string& scratch)
{
    return asIs_ ? bytes : decoder_.displayText(bytes, scratch);
}

std::string_view ShownText::key(const DupsList& list, int64_t index, std::string& scratch)
{
    const std::string_view key = list.key(index);
    if (asIs_ || list.keyFromSource(index))
        return line(key, scratch);
    // Decoded text: its escapes are invalid bytes of the file.
    scratch = shownDecodedText(key);
    return scratch;
}

std::string ShownText::entry(const DupsList& list, int64_t index)
{
    if (asIs_)
        return list.text(index);
    std::string scratch;
    const std::string_view key = this->key(list, index, scratch);
    std::string out = list.sorted() ? std::string() : padNumber(list.group(index), list.width());
    out += '[';
    out += padNumber(list.lineNumber(index), list.width());
    out += "]   ";
    out += key;
    return out;
}

}  // namespace quillow
