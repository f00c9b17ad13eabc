#include "app/filter_tryout.h"

#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include "engine/text/line_decoder.h"
#include "engine/dedup/line_filter.h"
#include "engine/text/shown_text.h"
#include "engine/text/text_util.h"
#include "app/texts.h"

namespace quillow {

namespace {

// Thrown inside the filter test for every failure; it ends in one message.
struct TestFailed {};

// A text to test: typed (UTF-8), or a line of the scanned file in its encoding.
struct TestText {
    std::string bytes;
    Encoding encoding;
    std::string shown;  // what the dialog offers next time
};

// The text of line=N as the source list shows it: the file's lines, or only
// the placeholder once their texts were released. An index past the end
// gives an empty text.
TestText sourceBoxEntry(const ScanResult& scan, double n)
{
    const double index = n - 1;
    const bool released = scan.source && scan.source->released();
    const int64_t count = released ? 1 : (scan.source ? scan.source->count() : 0);
    if (std::isnan(index) || index > static_cast<double>(count))
        return {};
    auto rounded = toInt32(index);
    if (!rounded || *rounded < 0)
        throw TestFailed{};
    if (*rounded >= count)
        return {};
    if (released)
        return {text::translated(text::kNoPreview), Encoding(), text::translated(text::kNoPreview)};
    TestText line{scan.source->text(*rounded), scan.encoding.encoding, {}};
    std::string scratch;
    line.shown = ShownText(line.encoding).line(line.bytes, scratch);
    return line;
}

std::string filterResult(const TestText& test, const FilterDialogValues& values)
{
    // A pattern of blanks alone is no filter, as the options store it.
    const bool filtered = !trimBlanks(values.pattern).empty();
    std::unique_ptr<LineFilter> engine;
    if (filtered) {
        engine = LineFilter::create(values.pattern, !values.caseChecked);
        if (!engine)
            throw TestFailed{};
    }

    // Blanks and characters are taken off the line's own bytes, as the scan does.
    LineDecoder decoder(test.encoding);
    std::string_view bytes = test.bytes;
    if (values.trimChecked)
        bytes = decoder.trimBlanks(bytes);
    const double startPos = leadingNumber(values.startPosText);
    if (startPos != 0) {
        // The text from character startPos + 1 on; a start before the first
        // character is an invalid call.
        auto first = toInt32(startPos + 1);
        if (!first || *first < 1)
            throw TestFailed{};
        bytes = decoder.dropChars(bytes, *first - 1);
    }
    std::string decoded;
    const std::string_view text = decoder.text(bytes, decoded);
    const bool escaped = !test.encoding.isUtf8();
    if (!engine)
        return escaped ? shownDecodedText(text) : std::string(text);

    std::vector<std::pair<size_t, size_t>> matches;
    if (!engine->execute(text, matches, escaped))
        throw TestFailed{};
    auto value = [&](size_t i) {
        const std::string_view match = text.substr(matches[i].first, matches[i].second);
        return escaped ? shownDecodedText(match) : std::string(match);
    };

    if (values.matchText == "0") {
        std::string joined;
        for (size_t i = 0; i < matches.size(); ++i)
            joined += value(i);
        return joined;
    }
    if (values.matchText == "-1") {
        if (matches.empty())
            throw TestFailed{};
        return value(matches.size() - 1);
    }
    const double n = leadingNumber(values.matchText);
    if (n > static_cast<double>(matches.size()))
        return {};
    auto index = toInt32(n - 1);
    if (!index || *index < 0 || static_cast<size_t>(*index) >= matches.size())
        throw TestFailed{};
    return value(static_cast<size_t>(*index));
}

}  // namespace

void tryFilter(std::string& lastText, const ScanResult& scan, FrontEnd& host, const FilterDialogValues& values)
{
    try {
        std::optional<std::string> answer =
            host.inputBox(text::translated(text::kFilterTestPrompt), text::kProductName, lastText);
        TestText test{answer ? *answer : std::string(), Encoding(), {}};
        if (test.bytes.size() >= 5) {
            std::string head = test.bytes.substr(0, 5);
            for (char& c : head)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            if (head == "line=")
                test = sourceBoxEntry(scan, leadingNumber(std::string_view(test.bytes).substr(5)));
            else
                test.shown = test.bytes;
        } else {
            test.shown = test.bytes;
        }
        if (trimBlanks(test.shown).empty())
            return;
        lastText = test.shown;

        std::string result = filterResult(test, values);
        const bool filtered = !trimBlanks(values.pattern).empty();
        host.messageBox(text::translated(filtered ? text::kFilterTestResult : text::kFilterTestNoFilter) +
                            (result.empty() ? text::translated(text::kFilterTestEmpty) : result),
                        Icon::Information, Buttons::Ok);
    } catch (const TestFailed&) {
        host.messageBox(text::translated(text::kFilterTestFailed), Icon::Critical, Buttons::Ok);
    } catch (const std::exception&) {
        // A list that cannot give its entry (released texts), memory.
        host.messageBox(text::translated(text::kFilterTestFailed), Icon::Critical, Buttons::Ok);
    }
}

}  // namespace quillow
