#pragma once
// The form in which keys are compared when letter case or compatibility
// forms are to be ignored: ICU's full case folding, NFKC (full-width and
// half-width forms, ligatures, circled digits alike) without default-ignorable
// characters, or NFKC_Casefold (which drops those itself) for both. Two keys are equal under the rule exactly when their forms are equal
// bytes. Invalid bytes pass through as distinct characters (see escaped_utf.h),
// so a form never makes an invalid byte equal to a character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UNormalizer2;

namespace quillow {

enum class KeyFold : uint8_t {
    None,        // the text itself
    Case,        // full case folding
    Compat,      // NFKC
    CompatCase,  // NFKC_Casefold
};
KeyFold keyFoldFor(bool ignoreCase, bool compatForms);

// One per thread: it keeps its buffers between calls.
class KeyForm {
public:
    explicit KeyForm(KeyFold fold);
    KeyFold fold() const { return fold_; }

    // The form of a UTF-8 text (invalid bytes allowed). ASCII text costs no
    // conversion: it is returned as it is, or lower-cased into scratch.
    std::string_view of(std::string_view utf8, std::string& scratch);
    // The form of decoded UTF-16 (valid apart from escapes), written as UTF-8.
    std::string_view ofUtf16(std::u16string_view text, std::string& scratch);

private:
    KeyFold fold_;
    const UNormalizer2* normalizer_ = nullptr;
    std::vector<char16_t> in_, out_, ignorablesGone_;
};

}  // namespace quillow
