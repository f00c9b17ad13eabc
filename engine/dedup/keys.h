#pragma once
// The comparison key of a line: the part the field and character rules
// leave (key_fields.h: one field, fields skipped, blanks at both ends
// trimmed, the first characters skipped, at most so many kept), reduced to
// what the line filter selects, compared exactly, ignoring letter case, or
// with compatibility forms alike.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dedup/key_fields.h"
#include "engine/dedup/key_form.h"
#include "engine/dedup/key_hash.h"
#include "engine/text/line_decoder.h"
#include "engine/dedup/line_filter.h"
#include "engine/options.h"
#include "engine/text/text_encoder.h"
#include "engine/text/text_encoding.h"

namespace quillow {

struct KeyRules {
    FieldRules fields;                  // which part of the line counts
    const LineFilter* filter = nullptr; // none when null
    int filterMatch = 0;                // which match is the key (LineFilter::select)
    CompareMode mode = CompareMode::Text;
    bool compatForms = false;           // NFKC: full/half width, ligatures ... alike
    Encoding encoding;                  // the lines' encoding
};

// The line filter the options ask for: nullptr when there is no pattern or
// PCRE2 refuses it (the lines are then compared unfiltered, silently).
std::unique_ptr<LineFilter> filterFor(const Options& options);

// The rules of the options for lines in encoding, with the filter made by filterFor.
KeyRules keyRules(const Options& options, const LineFilter* filter, const Encoding& encoding = Encoding());

// UTF-8 lines compared without compatibility forms take the fast way: the
// key is a slice of the line (lineKey), and hashing and comparing fold case.
// Every other key is compared by its form (KeyMaker).
inline bool comparedByForm(const KeyRules& rules) { return rules.compatForms || !rules.encoding.isUtf8(); }

// Fields and character limits need every character's place; trimming and
// skipping characters alone take the quick way.
inline bool cutsFields(const FieldRules& f) { return f.keyField > 0 || f.skipFields > 0 || f.checkChars >= 0; }

// Every line's key is the whole line, compared as bytes or ignoring case.
inline bool keysAreWholeLines(const KeyRules& rules)
{
    const FieldRules& f = rules.fields;
    return !comparedByForm(rules) && !rules.filter && !cutsFields(f) && !f.trim && f.skipChars == 0;
}

// The key of a UTF-8 line; the result views line or scratch.
std::string_view lineKey(const KeyRules& rules, std::string_view line, std::string& scratch);

// Keys of lines in any encoding, and the forms they are compared by. One per
// thread: it keeps a decoder and buffers.
class KeyMaker {
public:
    explicit KeyMaker(const KeyRules& rules);

    // The key as listed and as the save writes it: a byte range of line in
    // the lines' encoding, or, when the filter made it, decoded text (UTF-8
    // with invalid bytes as escapes, see line_decoder.h) in scratch or in a
    // buffer of this maker.
    std::string_view key(std::string_view line, std::string& scratch);
    // True when the key holds nothing but U+0020 blanks (such keys never count).
    bool blank(std::string_view key, bool inLine) const;
    // The bytes keys are compared by: two keys are equal under the rules
    // exactly when their forms are. inLine tells that key is a byte range of
    // a line (not decoded text). Views key or scratch.
    std::string_view form(std::string_view key, bool inLine, std::string& scratch);

private:
    const KeyRules rules_;
    LineDecoder decoder_;
    KeyForm form_;
    bool bytewise_;  // keys compare as bytes: UTF forms decode one to one
    std::string text_;
    std::vector<CharAt> chars_;
};

// Lines as the save writes them when they are written the way they are
// compared (saveApplyFilter): the key, in the line's own encoding. A key
// the filter made is encoded back; its escapes give back the line's bytes.
class KeysAsWritten {
public:
    explicit KeysAsWritten(const KeyRules& rules);
    // Views line or a buffer of this object.
    std::string_view of(std::string_view line);

private:
    KeyMaker maker_;
    TextEncoder encoder_;
    std::string key_, bytes_;
};

}  // namespace quillow
