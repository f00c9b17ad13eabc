// The field and character rules (-k, -t, -f, --trim, -s, -w) cut the same
// key from a line in every encoding: the same characters, as the line's own
// bytes.
#include "engine/dedup/key_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/dedup/keys.h"
#include "engine/text/text_encoder.h"

namespace quillow {
namespace {

TEST(KeyFields, CutTheSameCharactersInEveryEncoding)
{
    struct Row {
        const char* name;
        Options options;
        std::string line, key;  // UTF-8
    };
    auto with = [](auto set) {
        Options o;
        set(o);
        return o;
    };
    const Row rows[] = {
        {"whole line", {}, " 甲 乙 ", " 甲 乙 "},
        {"check chars", with([](Options& o) { o.checkChars = 2; }), "甲乙丙", "甲乙"},
        {"check no chars", with([](Options& o) { o.checkChars = 0; }), "甲乙", ""},
        {"skip then check", with([](Options& o) { o.startPos = 1, o.checkChars = 1; }), "甲乙丙", "乙"},
        {"skip fields keeps the blanks before the next", with([](Options& o) { o.skipFields = 1; }), " a\tb c", "\tb c"},
        {"skip more fields than there are", with([](Options& o) { o.skipFields = 3; }), "a b", ""},
        {"skip fields, then trim", with([](Options& o) { o.skipFields = 1, o.trimLines = true; }), "a  b c ", "b c"},
        {"blank-separated field", with([](Options& o) { o.keyField = 2; }), "  1 \t甲乙  3", "甲乙"},
        {"field beyond the last", with([](Options& o) { o.keyField = 4; }), "1 2 3", ""},
        {"separated field", with([](Options& o) { o.keyField = 2, o.fieldSeparator = ","; }), "1,,3", ""},
        {"last separated field", with([](Options& o) { o.keyField = 3, o.fieldSeparator = ","; }), "1,2, x", " x"},
        {"quoted field holds the separator",
         with([](Options& o) { o.keyField = 2, o.fieldSeparator = ","; }), "1,\"a,\"\"b\"\",c\"x,4", "\"a,\"\"b\"\",c\"x"},
        {"a quote that never closes runs to the end",
         with([](Options& o) { o.keyField = 2, o.fieldSeparator = ","; }), "1,\"a,b", "\"a,b"},
        {"non-ASCII separator", with([](Options& o) { o.keyField = 2, o.fieldSeparator = "、"; }), "甲、乙、丙", "乙"},
        {"fields skipped by separator, then chars",
         with([](Options& o) { o.skipFields = 1, o.fieldSeparator = ";", o.startPos = 1; }), "a;bc;d", "c;d"},
        {"field, then check chars", with([](Options& o) { o.keyField = 2, o.checkChars = 1; }), "x 甲乙", "甲"},
    };
    const Encoding encodings[] = {Encoding(), Encoding(EncodingForm::Utf16LE), Encoding(EncodingForm::Utf32BE),
                                  *encodingNamed("GB18030").encoding};
    for (const Row& row : rows) {
        for (const Encoding& encoding : encodings) {
            TextEncoder encoder(encoding);
            std::string lineScratch, keyScratch, made;
            const std::string line(encoder.encode(row.line, lineScratch));
            const std::string key(encoder.encode(row.key, keyScratch));
            KeyMaker maker(keyRules(row.options, nullptr, encoding));
            const std::string_view got = maker.key(line, made);
            EXPECT_EQ(got, key) << row.name << " in " << encoding.displayName();
            // A byte range of the line, so that the save can write it as it stands.
            EXPECT_TRUE(got.data() >= line.data() && got.data() + got.size() <= line.data() + line.size()) << row.name;
        }
    }
}

TEST(KeyFields, SeparatorIsOneCharacter)
{
    EXPECT_EQ(separatorOf(","), U',');
    EXPECT_EQ(separatorOf("、"), U'、');
    EXPECT_EQ(separatorOf(""), 0u);
    EXPECT_EQ(separatorOf(",,"), 0u);
    EXPECT_EQ(separatorOf("\xFF"), 0u);
}

}  // namespace
}  // namespace quillow
