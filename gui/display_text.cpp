#include "gui/display_text.h"

namespace quillow {

QString displayText(std::string_view line)
{
    if (line.size() > kShownLineBytes) {
        // Cut at the start of a UTF-8 sequence: at most three continuation
        // bytes back (a run of stray continuation bytes is cut where it is).
        size_t cut = kShownLineBytes;
        while (cut > kShownLineBytes - 3 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        line = line.substr(0, cut);
    }
    QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    for (QChar& c : text) {
        if (c == u'\n')
            c = QChar(0x240A);
        else if (c == u'\r')
            c = QChar(0x240D);
    }
    return text;
}

QString displayLine(std::string_view bytes, ShownText& shown)
{
    if (shown.asIs())
        return displayText(bytes);
    // Cut at a whole code unit (up to four bytes); a character cut in two
    // shows as a replacement character at the very end.
    if (bytes.size() > 4 * kShownLineBytes)
        bytes = bytes.substr(0, 4 * kShownLineBytes);
    std::string scratch;
    return displayText(shown.line(bytes, scratch));
}

}  // namespace quillow
