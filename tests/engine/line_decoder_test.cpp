// Decoded lines are what keys are made of and what the user reads: they must
// match the characters, keep invalid bytes apart, and fold as documented.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "engine/text/line_decoder.h"

namespace quillow {
namespace {

using namespace std::string_literals;

Encoding named(const char* name) { return *encodingNamed(name).encoding; }

TEST(LineDecoder, DecodesForComparisonAndDisplay)
{
    struct Row {
        const char* name;
        Encoding encoding;
        std::string line;
        std::string text;     // comparison form
        std::string display;  // what the user sees
    };
    const std::string esc81 = "\xED\xB2\x81", escFF = "\xED\xB3\xBF", esc00 = "\xED\xB0\x80", escD8 = "\xED\xB3\x98";
    const Row rows[] = {
        {"utf-8 as it is", Encoding(), "caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9"},
        {"invalid utf-8 stays raw", Encoding(), "a\xFF", "a\xFF", "a\xEF\xBF\xBD"},
        {"gb18030 cjk", named("GB18030"), "\xC4\xE3\xBA\xC3 ok", "你好 ok", "你好 ok"},
        {"gb18030 four bytes", named("GB18030"), "\x95\x32\x82\x36", "\xF0\xA0\x80\x80", "\xF0\xA0\x80\x80"},
        {"gb18030 invalid bytes", named("GB18030"), "a\xFF\x81", "a" + escFF + esc81, "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"windows-1252", named("windows-1252"), "\x80 \xE9", "€ é", "€ é"},
        {"utf-16le", Encoding(EncodingForm::Utf16LE), "h\0\x60\x4F\x3D\xD8\x00\xDE"s, "h你\xF0\x9F\x98\x80", "h你\xF0\x9F\x98\x80"},
        {"utf-16be", Encoding(EncodingForm::Utf16BE), "\0h\x4F\x60"s, "h你", "h你"},
        {"utf-16be ascii", Encoding(EncodingForm::Utf16BE), "\0h\0i\0 \0t\0h\0e\0r\0e\0!"s, "hi there!", "hi there!"},
        {"utf-16 lone surrogate and odd byte", Encoding(EncodingForm::Utf16LE), "\0\xD8x\0\x81"s,
         esc00 + escD8 + "x" + esc81, "\xEF\xBF\xBD\xEF\xBF\xBDx\xEF\xBF\xBD"},
        {"utf-32be", Encoding(EncodingForm::Utf32BE), "\0\0\0h\0\x01\xF6\0"s, "h\xF0\x9F\x98\x80", "h\xF0\x9F\x98\x80"},
    };
    for (const Row& row : rows) {
        LineDecoder decoder(row.encoding);
        std::string scratch;
        EXPECT_EQ(decoder.text(row.line, scratch), row.text) << row.name;
        EXPECT_EQ(decoder.displayText(row.line, scratch), row.display) << row.name;
    }
}

TEST(LineDecoder, DifferentBytesNeverDecodeAlike)
{
    // Short random byte strings hit valid, invalid and cut-off sequences.
    std::mt19937 rng(7);
    const unsigned char alphabet[] = {0x00, 0x0A, 0x20, 0x30, 0x41, 0x81, 0x95, 0xC3, 0xD8, 0xDC, 0xED, 0xFE, 0xFF};
    for (const char* name : {"GB18030", "UTF-16LE", "UTF-32BE", "windows-1252", "UTF-8"}) {
        LineDecoder decoder(named(name));
        std::map<std::string, std::string> seen;  // text -> bytes
        std::string scratch;
        for (int i = 0; i < 20000; ++i) {
            std::string bytes(rng() % 7, '\0');
            for (char& c : bytes)
                c = static_cast<char>(alphabet[rng() % sizeof alphabet]);
            const auto [it, added] = seen.emplace(std::string(decoder.text(bytes, scratch)), bytes);
            ASSERT_TRUE(added || it->second == bytes) << name << ": two byte strings decode alike";
        }
    }
}

TEST(LineDecoder, TrimsAndDropsCharactersOnTheSourceBytes)
{
    struct Row {
        const char* name;
        Encoding encoding;
        std::string line;
        int64_t drop;
        std::string rest;  // after trimming blanks, then dropping
    };
    const Row rows[] = {
        {"utf-8", Encoding(), "  \xC3\xA9x  ", 1, "x"},
        {"gb18030 two-byte", named("GB18030"), " \xC4\xE3\xBA\xC3 ", 1, "\xBA\xC3"},
        {"gb18030 invalid bytes count one each", named("GB18030"), "\xFF\xFF" "b", 1, "\xFF" "b"},
        {"utf-16le pair is one", Encoding(EncodingForm::Utf16LE), " \0\x3D\xD8\x00\xDEx\0 \0"s, 1, "x\0"s},
        {"utf-16le lone surrogate is one", Encoding(EncodingForm::Utf16LE), "\0\xD8x\0"s, 1, "x\0"s},
        {"utf-16be blanks", Encoding(EncodingForm::Utf16BE), "\0 \0a\0 "s, 0, "\0a"s},
        {"more than there is", Encoding(EncodingForm::Utf32LE), "a\0\0\0"s, 5, ""},
    };
    for (const Row& row : rows) {
        LineDecoder decoder(row.encoding);
        EXPECT_EQ(decoder.dropChars(decoder.trimBlanks(row.line), row.drop), row.rest) << row.name;
    }
}

TEST(KeyForm, FoldsCaseAndCompatibilityForms)
{
    struct Row {
        const char* name;
        KeyFold fold;
        std::string a, b;
        bool equal;
    };
    const Row rows[] = {
        {"full width is not ascii", KeyFold::None, "ＡＢＣ", "ABC", false},
        {"full width", KeyFold::Compat, "ＡＢＣ１２", "ABC12", true},
        {"compat keeps case", KeyFold::Compat, "ＡＢＣ", "abc", false},
        {"compat and case", KeyFold::CompatCase, "ＡＢＣ", "abc", true},
        {"ligature", KeyFold::Compat, "ﬁle", "file", true},
        {"circled digit", KeyFold::Compat, "①", "1", true},
        {"half-width katakana", KeyFold::Compat, "ｶﾞ", "ガ", true},
        {"sharp s folds", KeyFold::Case, "STRASSE", "straße", true},
        {"ascii case", KeyFold::Case, "Hello", "hELLO", true},
        {"invalid byte is no character", KeyFold::CompatCase, "a\xFF", "a\xEF\xBF\xBD", false},
        // Default-ignorable characters count for neither compatibility rule.
        {"zero-width space, case compared", KeyFold::Compat, "a\u200Bb", "ab", true},
        {"zero-width space, case ignored", KeyFold::CompatCase, "A\u200Bb", "ab", true},
        {"soft hyphen, case compared", KeyFold::Compat, "Grü\u00DFe", "Grü\u00AD\u00DFe", true},
        {"variation selector, case compared", KeyFold::Compat, "\u2764\uFE0F", "\u2764", true},
        {"half-width hangul filler, case compared", KeyFold::Compat, "x\uFFA0", "x", true},
        {"ignorables still count without compat", KeyFold::Case, "a\u200Bb", "ab", false},
    };
    std::string sa, sb;
    for (const Row& row : rows) {
        KeyForm form(row.fold);
        const std::string a(form.of(row.a, sa));
        EXPECT_EQ(a == form.of(row.b, sb), row.equal) << row.name;
    }
    // Decoding and folding in one pass agree with folding the decoded text.
    LineDecoder gb(named("GB18030"));
    KeyForm form(KeyFold::CompatCase);
    std::string scratch, text;
    const std::string line = "\xA3\xC1\xA3\xC2 \xC4\xE3";  // ＡＢ 你
    EXPECT_EQ(gb.key(line, form, scratch), "ab 你");
}

}  // namespace
}  // namespace quillow
