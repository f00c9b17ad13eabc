#include "app/copy_text.h"

#include <charconv>
#include <stdexcept>

#include "engine/text/shown_text.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// Text on a Linux clipboard ends its lines with LF, as every program pasting it expects.
constexpr std::string_view kLineEnd = "\n";

void appendNumber(std::string& out, int64_t n)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

}  // namespace

std::string buildCopyText(const ScanResult& result, CopyRange range, CopyContent content, int64_t highlighted)
{
    const DupsList* list = result.dups.get();
    if (!list)
        return {};
    const SourceLines* source = result.source.get();
    if (content == CopyContent::Source && (!source || source->released() || result.memoryPreserved))
        throw std::logic_error("the source lines were released after the scan");

    int64_t first = 0, last = list->count();
    if (range == CopyRange::Highlighted) {
        if (highlighted < 0 || highlighted >= last)
            return {};
        first = highlighted;
        last = highlighted + 1;
    }

    // Texts as the lists show them: decoded unless the file is UTF-8.
    ShownText shown(result.encoding.encoding);
    std::string scratch;
    auto item = [&](int64_t i) -> std::string_view {
        switch (content) {
        case CopyContent::Source:
            return shown.line(source->view(list->lineNumber(i) - 1), scratch);
        case CopyContent::Filtered:
            return shown.key(*list, i, scratch);
        case CopyContent::LineNumber:
            break;
        }
        return {};
    };
    auto wanted = [&](int64_t i) { return range != CopyRange::Selected || list->isSelected(i); };

    // Size first so a list of millions of entries is built in one
    // allocation (decoded texts would be decoded twice: they grow as they come).
    size_t size = 0;
    for (int64_t i = first; i < last && shown.asIs(); ++i) {
        if (!wanted(i))
            continue;
        size_t length = content == CopyContent::LineNumber ? static_cast<size_t>(digitCount(list->lineNumber(i)))
                                                           : item(i).size();
        size += length + kLineEnd.size();
    }
    std::string out;
    out.reserve(size);
    for (int64_t i = first; i < last; ++i) {
        if (!wanted(i))
            continue;
        if (content == CopyContent::LineNumber)
            appendNumber(out, list->lineNumber(i));
        else
            out.append(item(i));
        out.append(kLineEnd);
    }
    return out;
}

CopyDialogSetup copyDialogSetup(const ScanResult& result)
{
    CopyDialogSetup setup;
    if (result.memoryPreserved) {
        setup.sourceEnabled = false;
        setup.content = CopyContent::Filtered;
    }
    return setup;
}

}  // namespace quillow
