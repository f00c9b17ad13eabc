#include "engine/dedup/key_form.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>
#include <unicode/ustring.h>

#include <stdexcept>

#include "engine/text/escaped_utf.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// Removes the default-ignorable characters (zero-width spaces, soft hyphens,
// variation selectors ...) from units, in place; returns the units left.
size_t dropIgnorables(char16_t* units, size_t n)
{
    size_t kept = 0;
    for (size_t i = 0; i < n;) {
        const size_t start = i;
        UChar32 c;
        U16_NEXT(units, i, n, c);
        if (!u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT))
            for (size_t k = start; k < i; ++k)
                units[kept++] = units[k];
    }
    return kept;
}

}  // namespace

KeyFold keyFoldFor(bool ignoreCase, bool compatForms)
{
    if (compatForms)
        return ignoreCase ? KeyFold::CompatCase : KeyFold::Compat;
    return ignoreCase ? KeyFold::Case : KeyFold::None;
}

KeyForm::KeyForm(KeyFold fold) : fold_(fold)
{
    UErrorCode err = U_ZERO_ERROR;
    if (fold == KeyFold::Compat)
        normalizer_ = unorm2_getNFKCInstance(&err);
    else if (fold == KeyFold::CompatCase)
        normalizer_ = unorm2_getNFKCCasefoldInstance(&err);
    if (U_FAILURE(err))
        throw std::runtime_error(std::string("ICU normalizer: ") + u_errorName(err));
}

std::string_view KeyForm::of(std::string_view utf8, std::string& scratch)
{
    if (fold_ == KeyFold::None)
        return utf8;
    // ASCII is its own NFKC; its case fold (and NFKC_Casefold) is its lower case.
    if (isAscii(utf8)) {
        if (fold_ == KeyFold::Compat)
            return utf8;
        if (scratch.size() < utf8.size())
            scratch.resize(utf8.size());
        lowerAscii(utf8.data(), utf8.size(), scratch.data());
        return std::string_view(scratch.data(), utf8.size());
    }
    if (in_.size() < utf8.size())
        in_.resize(utf8.size());
    const size_t n = utf8ToUtf16(utf8, in_.data());
    return ofUtf16(std::u16string_view(in_.data(), n), scratch);
}

std::string_view KeyForm::ofUtf16(std::u16string_view text, std::string& scratch)
{
    std::u16string_view form = text;
    if (fold_ != KeyFold::None) {
        // ASCII text (one byte per unit) is settled on its UTF-8 bytes, as in of().
        if (scratch.size() < text.size() * 3)
            scratch.resize(text.size() * 3);
        const size_t n = utf16ToUtf8(text, scratch.data(), false);
        if (n == text.size()) {
            if (fold_ != KeyFold::Compat)
                lowerAscii(scratch.data(), n, scratch.data());
            return std::string_view(scratch.data(), n);
        }
    }
    if (fold_ == KeyFold::Compat) {
        // NFKC keeps the default-ignorable characters that NFKC_Casefold
        // drops: dropped here too, so that compatibility forms compare alike
        // whether letter case counts or not. Escapes are no such characters.
        ignorablesGone_.assign(text.begin(), text.end());
        text = std::u16string_view(ignorablesGone_.data(), dropIgnorables(ignorablesGone_.data(), text.size()));
    }
    if (fold_ != KeyFold::None) {
        // Folding and NFKC may grow a text; retry once with the size asked for.
        bool done = false;
        for (int attempt = 0; attempt < 2 && !done; ++attempt) {
            if (out_.size() < text.size() * 3 + 16)
                out_.resize(text.size() * 3 + 16);
            UErrorCode err = U_ZERO_ERROR;
            const auto cap = static_cast<int32_t>(out_.size());
            const auto len = static_cast<int32_t>(text.size());
            const int32_t got = fold_ == KeyFold::Case
                                    ? u_strFoldCase(out_.data(), cap, text.data(), len, U_FOLD_CASE_DEFAULT, &err)
                                    : unorm2_normalize(normalizer_, text.data(), len, out_.data(), cap, &err);
            if (err == U_BUFFER_OVERFLOW_ERROR) {
                out_.resize(static_cast<size_t>(got) + 16);
                continue;
            }
            if (U_FAILURE(err))
                throw std::runtime_error(std::string("ICU key form: ") + u_errorName(err));
            size_t length = static_cast<size_t>(got);
            if (fold_ == KeyFold::Compat)  // a compatibility form may itself be ignorable (U+FFA0)
                length = dropIgnorables(out_.data(), length);
            form = std::u16string_view(out_.data(), length);
            done = true;
        }
        if (!done)
            throw std::runtime_error("ICU key form: the text keeps growing");
    }
    if (scratch.size() < form.size() * 3)
        scratch.resize(form.size() * 3);
    return std::string_view(scratch.data(), utf16ToUtf8(form, scratch.data(), false));
}

}  // namespace quillow
