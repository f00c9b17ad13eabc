#include "engine/text/binary_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillow {
namespace {

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(LooksBinary, TextInAnyEncodingIsTextAndProgramsAreNot)
{
    struct Row {
        const char* name;
        std::string head;
        const char* encoding;
        bool binary;
    };
    const Row rows[] = {
        {"empty", "", "auto", false},
        {"plain lines", repeated("name,value\r\n", 50), "auto", false},
        {"tabs, form feed and terminal colours", repeated("\x1B[31mred\x1B[0m\tx\f\n", 50), "auto", false},
        {"a stray control in a long text", repeated("line\n", 200) + "\x01", "auto", false},
        {"UTF-16LE without a mark", repeated(std::string("a\0b\0\n\0", 6), 50), "auto", false},
        {"UTF-16BE with its mark", "\xFE\xFF" + repeated(std::string("\0a\0\n", 4), 50), "auto", false},
        {"GB18030 bytes", repeated("\xC4\xE3\xBA\xC3\n", 50), "auto", false},
        {"an ELF program", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0\x3E\0", 20) + repeated("x", 100),
         "auto", true},
        {"one NUL byte in a text", repeated("text line\n", 20) + std::string("a\0b\n", 4), "auto", true},
        {"controls in every line", repeated("ab\x02\x03\n", 50), "auto", true},
        {"NUL units in UTF-16", repeated(std::string("a\0\0\0", 4), 50), "UTF-16LE", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(looksBinary(row.head, row.encoding), row.binary) << row.name;
}

}  // namespace
}  // namespace quillow
