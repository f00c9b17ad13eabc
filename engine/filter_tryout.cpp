#include "engine/filter_tryout.h"

#include <cmath>
#include <exception>
#include <optional>
#include <vector>

#include "engine/line_filter.h"
#include "engine/text_util.h"
#include "engine/texts.h"

namespace quillow {

namespace {

// Thrown inside the filter test for every failure; it ends in one message.
struct TestFailed {};

// The text of line=N as the source list shows it: the file's lines, or only
// the placeholder once their texts were released. An index past the end
// gives an empty text.
std::string sourceBoxEntry(const ScanResult& scan, double n)
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
        return text::kNoPreview;
    return scan.source->text(*rounded);
}

std::string filterResult(const std::string& testText, const FilterDialogValues& values)
{
    auto engine = LineFilter::create(values.pattern, !values.caseChecked);
    if (!engine)
        throw TestFailed{};

    std::string_view text = testText;
    if (values.trimChecked)
        text = trimBlanks(text);
    const double startPos = leadingNumber(values.startPosText);
    if (startPos != 0) {
        // The text from character startPos + 1 on; a start before the first
        // character is an invalid call.
        auto first = toInt32(startPos + 1);
        if (!first || *first < 1)
            throw TestFailed{};
        text = dropChars(text, *first - 1);
    }

    std::vector<std::pair<size_t, size_t>> matches;
    if (!engine->execute(text, matches))
        throw TestFailed{};
    auto value = [&](size_t i) { return std::string(text.substr(matches[i].first, matches[i].second)); };

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

void tryFilter(std::string& lastText, const ScanResult& scan, Host& host, const FilterDialogValues& values)
{
    try {
        std::optional<std::string> answer = host.inputBox(text::kFilterTestPrompt, text::kProductName, lastText);
        std::string testText = answer ? *answer : std::string();
        if (testText.size() >= 5) {
            std::string head = testText.substr(0, 5);
            for (char& c : head)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            if (head == "line=")
                testText = sourceBoxEntry(scan, leadingNumber(std::string_view(testText).substr(5)));
        }
        if (trimBlanks(testText).empty())
            return;
        lastText = testText;

        std::string result = filterResult(testText, values);
        host.messageBox(text::kFilterTestResult + (result.empty() ? std::string(text::kFilterTestEmpty) : result),
                        Icon::Information, Buttons::Ok);
    } catch (const TestFailed&) {
        host.messageBox(text::kFilterTestFailed, Icon::Critical, Buttons::Ok);
    } catch (const std::exception&) {
        // A list that cannot give its entry (released texts), memory.
        host.messageBox(text::kFilterTestFailed, Icon::Critical, Buttons::Ok);
    }
}

}  // namespace quillow
