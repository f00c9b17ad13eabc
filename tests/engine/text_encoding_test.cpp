// The encoding a file is read in decides every key and every line end, so a
// wrong choice silently changes the result: detection and naming.
#include <gtest/gtest.h>

#include "app/texts.h"

#include <unicode/ucnv.h>
#include <unicode/utf8.h>

#include <random>
#include <string>

#include "engine/text/text_encoding.h"

namespace quillow {
namespace {

using namespace std::string_literals;

// utf8 converted to the named encoding by ICU.
std::string encodeAs(const char* name, const std::string& utf8)
{
    std::string out(utf8.size() * 4 + 16, '\0');
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_convert(name, "UTF-8", out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                                   static_cast<int32_t>(utf8.size()), &err);
    EXPECT_TRUE(U_SUCCESS(err)) << name;
    out.resize(static_cast<size_t>(n));
    return out;
}

// Mostly ASCII with some accented and Chinese lines, as in logs and lists.
std::string mixedText()
{
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "order " + std::to_string(1000 + i) + ": 2 x green tea\n";
        if (i % 10 == 0)
            text += "Crème brûlée für Zoë, 订单已发货，谢谢您的惠顾\n";
    }
    return text;
}

const std::string kChinese =
    "我们今天去北京看长城，然后回家吃饭。这个文件里有很多中文字符，用来测试编码的识别。\n"
    "第二行：数据处理软件可以找出重复的行，并且保存一个干净的副本。\n";

TEST(TextEncoding, AutoDetectionFollowsMarkThenNulsThenUtf8ThenDetector)
{
    struct Row {
        const char* name;
        std::string bytes;
        const char* encoding;
        EncodingEvidence evidence;
        size_t markLength;
    };
    const Row rows[] = {
        {"utf-8 mark", "\xEF\xBB\xBF" "a\nb", "UTF-8", EncodingEvidence::Mark, 3},
        {"utf-16le mark", "\xFF\xFE" "a\0"s, "UTF-16LE", EncodingEvidence::Mark, 2},
        {"utf-16be mark", "\xFE\xFF\0a"s, "UTF-16BE", EncodingEvidence::Mark, 2},
        {"utf-32le mark beats utf-16le", "\xFF\xFE\0\0a\0\0\0"s, "UTF-32LE", EncodingEvidence::Mark, 4},
        {"utf-32be mark", "\0\0\xFE\xFF\0\0\0a"s, "UTF-32BE", EncodingEvidence::Mark, 4},
        {"utf-16le by nuls", "l\0i\0n\0e\0\n\0t\0w\0o\0"s, "UTF-16LE", EncodingEvidence::NulPattern, 0},
        {"utf-16be by nuls", "\0l\0i\0n\0e\0\n\0t\0w\0o"s, "UTF-16BE", EncodingEvidence::NulPattern, 0},
        {"nuls on both sides are not utf-16", "a\0\0\0b\0\0\0c\0\0\0"s, "UTF-8", EncodingEvidence::ValidUtf8, 0},
        {"lf bytes but no lf units are not utf-16", "a\0b\na\0b\n"s, "UTF-8", EncodingEvidence::ValidUtf8, 0},
        {"ascii", "plain\r\ntext", "UTF-8", EncodingEvidence::ValidUtf8, 0},
        {"valid utf-8", kChinese, "UTF-8", EncodingEvidence::ValidUtf8, 0},
        {"utf-8 with a stray byte", kChinese + "\xFF\n" + kChinese, "UTF-8", EncodingEvidence::Detector, 0},
        {"gb18030", encodeAs("GB18030", kChinese + kChinese), "GB18030", EncodingEvidence::Detector, 0},
        {"gb18030 in mostly ascii", encodeAs("GB18030", mixedText()), "GB18030", EncodingEvidence::Detector, 0},
        {"latin-1", "Le caf\xE9 cr\xE8me et la fa\xE7" "ade na\xEF" "ve du march\xE9 de No\xEBl.\n", "ISO-8859-1",
         EncodingEvidence::Detector, 0},
        {"cyrillic", encodeAs("windows-1251", "Привет мир, как дела? Это тест.\n"), "windows-1251", EncodingEvidence::Detector, 0},
    };
    for (const Row& row : rows) {
        const SourceEncoding got = detectEncoding(row.bytes, false, false);
        EXPECT_EQ(got.encoding.displayName(), row.encoding) << row.name;
        EXPECT_EQ(got.evidence, row.evidence) << row.name;
        EXPECT_EQ(got.textStart(), row.markLength) << row.name;
    }
}

// Legacy text read as its script; under a Chinese locale GB18030 takes
// short Chinese-looking samples, never text that plainly is something else.
TEST(TextEncoding, LegacyGuessesReadTheScript)
{
    struct Row {
        const char* name;
        std::string bytes;
        bool chineseLocale;
        const char* encoding;
    };
    std::string utf8Late;
    for (int i = 0; i < 12; ++i)
        utf8Late += "é\n";
    const std::string korean = "서울 회사 직원 오늘 날씨 전화 주소 이름 파일 데이터 시스템 사용자 비밀번호 메일 뉴스\n";
    const Row rows[] = {
        {"utf-8 with a stray byte late in the file", utf8Late + "\xFF\n", false, "UTF-8"},
        {"one short line of gb18030", encodeAs("GB18030", "张伟，北京\n"), false, "GB18030"},
        {"big5", encodeAs("Big5", "我們今天去臺北看電影，然後回家吃飯。\n"), false, "Big5"},
        {"shift_jis with kana", encodeAs("Shift_JIS", "東京の会社にメールを送りました。\n"), true, "Shift_JIS"},
        {"euc-kr", encodeAs("EUC-KR", korean), false, "EUC-KR"},
        {"euc-kr, one line, chinese locale", encodeAs("EUC-KR", "서울 회사\n"), true, "GB18030"},
        {"euc-kr, plainly korean, chinese locale", encodeAs("EUC-KR", korean), true, "EUC-KR"},
        {"latin-1, chinese locale", "Le caf\xE9 cr\xE8me et la fa\xE7" "ade na\xEF" "ve.\n", true, "ISO-8859-1"},
        {"curly quotes are no C1 controls", "\x93quoted\x94 and \x80 5\n", false, "windows-1252"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(detectEncoding(row.bytes, false, row.chineseLocale).encoding.displayName(), row.encoding) << row.name;
}

TEST(TextEncoding, NamedEncodingsAreCheckedAndTakeOnlyTheirOwnMark)
{
    struct Row {
        const char* name;
        const char* setting;
        std::string bytes;
        const char* encoding;  // empty: refused with error
        size_t markLength;
        const char* error;
    };
    const Row rows[] = {
        {"auto detects", "auto", "\xEF\xBB\xBF" "x", "UTF-8", 3, ""},
        {"empty is auto", " ", "x", "UTF-8", 0, ""},
        {"alias keeps its spelling", "cp936", "x", "cp936", 0, ""},
        {"utf-8 takes its mark", "utf8", "\xEF\xBB\xBF" "x", "UTF-8", 3, ""},
        {"a foreign mark is text", "windows-1252", "\xEF\xBB\xBF" "x", "windows-1252", 0, ""},
        {"utf-16 lets the mark choose", "UTF-16", "\xFF\xFE" "x\0"s, "UTF-16LE", 2, ""},
        {"utf-16 without mark by nuls", "UTF-16", "x\0y\0"s, "UTF-16LE", 0, ""},
        {"utf-16 defaults to big-endian", "UTF-16", "\x4E\x2D"s, "UTF-16BE", 0, ""},
        {"utf-16le with a nul first char", "UTF-16LE", "\xFF\xFE\0\0"s, "UTF-16LE", 2, ""},
        {"unknown name", "klingon-8", "x", "", 0, "未知的文本编码：klingon-8"},
        {"stateful encoding", "ISO-2022-JP", "x", "", 0, "不支持按行处理的文本编码：ISO-2022-JP"},
        {"ebcdic line ends", "ibm-037", "x", "", 0, "不支持按行处理的文本编码：ibm-037"},
    };
    for (const Row& row : rows) {
        const EncodingChoice got = chooseEncoding(row.setting, row.bytes);
        if (!got.source) {
            EXPECT_EQ(text::encodingRefusal(got.refusal), row.error) << row.name;
        }
        ASSERT_EQ(got.source.has_value(), *row.encoding != '\0') << row.name;
        if (got.source) {
            EXPECT_EQ(got.source->encoding.displayName(), row.encoding) << row.name;
            EXPECT_EQ(got.source->textStart(), row.markLength) << row.name;
        }
    }
}

TEST(TextEncoding, Utf8ValidityFindsTheFirstBadSequence)
{
    struct Row {
        std::string bytes;
        size_t firstInvalid;
    };
    const std::string ascii(40, 'a');
    const Row rows[] = {
        {ascii + "\xE4\xB8\xAD" + ascii, 83},
        {ascii + "\xE4\xB8", 40},                // cut short at the end
        {ascii + "\xED\xA0\x80", 40},            // a surrogate
        {ascii + "\xC0\xAF", 40},                // overlong
        {ascii + "\xF4\x90\x80\x80", 40},        // past U+10FFFF
        {ascii + "\xF0\x9F\x98\x80" "\x80", 44}, // a stray continuation byte
    };
    for (const Row& row : rows) {
        size_t at = 0;
        EXPECT_EQ(isValidUtf8(row.bytes, &at), row.firstInvalid == row.bytes.size());
        EXPECT_EQ(at, row.firstInvalid);
    }
    // Long random texts with one fault somewhere agree with ICU's reading,
    // block boundaries and halves included.
    std::mt19937 rng(99);
    const UChar32 samples[] = {'a', 0xE9, 0x4E2D, 0xFFFD, 0x1F600, 0x10FFFF, 0x800, 0x10000};
    const char faults[] = {'\x80', '\xBF', '\xC0', '\xC2', '\xE0', '\xED', '\xF0', '\xF4', '\xF5', '\xFF'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const size_t chars = rng() % 120;
        for (size_t i = 0; i < chars; ++i) {
            const UChar32 c = rng() % 3 ? 'a' + static_cast<UChar32>(rng() % 26) : samples[rng() % std::size(samples)];
            char buf[4];
            int32_t len = 0;
            U8_APPEND_UNSAFE(buf, len, c);
            bytes.append(buf, static_cast<size_t>(len));
        }
        if (round % 4 && !bytes.empty())
            bytes[rng() % bytes.size()] = faults[rng() % std::size(faults)];
        else if (round % 8 == 0 && !bytes.empty())
            bytes.pop_back();
        size_t want = bytes.size();
        int64_t multiByte = 0;
        for (int32_t i = 0; i < static_cast<int32_t>(bytes.size());) {
            const int32_t start = i;
            UChar32 c;
            U8_NEXT(bytes.data(), i, static_cast<int32_t>(bytes.size()), c);
            if (c < 0) {
                want = static_cast<size_t>(start);
                break;
            }
            multiByte += c >= 0x80;
        }
        for (bool parallel : {false, true}) {
            size_t at = 0;
            isValidUtf8(bytes, &at, parallel && round % 16 == 0);
            ASSERT_EQ(at, want) << "round " << round;
        }
        ASSERT_EQ(multiByteCharacters(std::string_view(bytes).substr(0, want)), multiByte) << "round " << round;
    }
    // Counted past the point where the counters are summed.
    std::string longText;
    for (int i = 0; i < 5000; ++i)
        longText += "\xE4\xB8\xAD" "a";
    EXPECT_EQ(multiByteCharacters(longText), 5000);
}

}  // namespace
}  // namespace quillow
