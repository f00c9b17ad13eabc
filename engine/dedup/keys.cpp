#include "engine/dedup/keys.h"

#include <new>

#include "engine/text/text_util.h"

namespace quillow {

std::unique_ptr<LineFilter> filterFor(const Options& options)
{
    if (options.filterPattern.empty())
        return nullptr;
    try {
        return LineFilter::create(options.filterPattern, !options.caseSensitive);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

KeyRules keyRules(const Options& options, const LineFilter* filter, const Encoding& encoding)
{
    KeyRules rules;
    rules.fields.keyField = options.keyField;
    rules.fields.separator = separatorOf(options.fieldSeparator);
    rules.fields.skipFields = options.skipFields;
    rules.fields.trim = options.trimLines;
    rules.fields.skipChars = options.startPos;
    rules.fields.checkChars = options.checkChars;
    rules.filter = filter;
    rules.filterMatch = options.filterMatch;
    rules.mode = options.caseSensitive ? CompareMode::Binary : CompareMode::Text;
    rules.compatForms = options.compatForms;
    rules.encoding = encoding;
    return rules;
}

namespace {

std::string_view cut(const FieldRules& rules, std::string_view line, const std::vector<CharAt>& chars)
{
    const auto [begin, end] = keyRange(rules, chars, line.size());
    return line.substr(begin, end - begin);
}

}  // namespace

std::string_view lineKey(const KeyRules& rules, std::string_view line, std::string& scratch)
{
    std::string_view key = line;
    const FieldRules& f = rules.fields;
    if (cutsFields(f)) {
        thread_local std::vector<CharAt> chars;
        utf8Characters(line, chars);
        key = cut(f, line, chars);
    } else {
        if (f.trim)
            key = trimBlanks(key);
        if (f.skipChars != 0)
            key = dropChars(key, f.skipChars);
    }
    if (rules.filter)
        key = rules.filter->select(key, rules.filterMatch, scratch);
    return key;
}

KeyMaker::KeyMaker(const KeyRules& rules)
    : rules_(rules),
      decoder_(rules.encoding),
      form_(keyFoldFor(rules.mode == CompareMode::Text, rules.compatForms)),
      // Legacy encodings may give one character for several byte sequences.
      bytewise_(form_.fold() == KeyFold::None && rules.encoding.form() != EncodingForm::Legacy)
{
}

std::string_view KeyMaker::key(std::string_view line, std::string& scratch)
{
    if (rules_.encoding.isUtf8())
        return lineKey(rules_, line, scratch);
    std::string_view key = line;
    const FieldRules& f = rules_.fields;
    if (cutsFields(f)) {
        decoder_.characters(line, chars_);
        key = cut(f, line, chars_);
    } else {
        if (f.trim)
            key = decoder_.trimBlanks(key);
        if (f.skipChars != 0)
            key = decoder_.dropChars(key, f.skipChars);
    }
    if (rules_.filter)
        key = rules_.filter->select(decoder_.text(key, text_), rules_.filterMatch, scratch, true);
    return key;
}

bool KeyMaker::blank(std::string_view key, bool inLine) const
{
    return inLine ? decoder_.trimBlanks(key).empty() : isBlankOnly(key);
}

std::string_view KeyMaker::form(std::string_view key, bool inLine, std::string& scratch)
{
    if (bytewise_)
        return key;
    return inLine ? decoder_.key(key, form_, scratch) : form_.of(key, scratch);
}

KeysAsWritten::KeysAsWritten(const KeyRules& rules) : maker_(rules), encoder_(rules.encoding) {}

std::string_view KeysAsWritten::of(std::string_view line)
{
    const std::string_view key = maker_.key(line, key_);
    if (key.data() >= line.data() && key.data() + key.size() <= line.data() + line.size())
        return key;
    return encoder_.encode(key, bytes_);
}

}  // namespace quillow
