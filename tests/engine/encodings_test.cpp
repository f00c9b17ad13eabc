// Files as people have them, through the scan and the save: every encoding's
// lines are compared decoded and written back as their own bytes, line ends
// go by majority, byte-order marks come back, compatibility forms match.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/copy_text.h"
#include "app/settings/settings_store.h"
#include "engine/text/shown_text.h"
#include "support/save_fixture.h"

namespace quillow {
namespace {

using namespace std::string_literals;
using testing::readFile;
using testing::SaveTest;

// ASCII text as UTF-16LE.
std::string le(const std::string& ascii)
{
    std::string out;
    for (char c : ascii)
        out += std::string{c, '\0'};
    return out;
}

// GB18030 bytes of a few characters.
const std::string kNiHao = "\xC4\xE3\xBA\xC3";             // 你好
const std::string kFullAbc = "\xA3\xC1\xA3\xC2\xA3\xC3";   // ＡＢＣ

struct CleanUp {
    const char* name;
    std::string bytes;
    std::string encoding;               // the textEncoding setting
    std::vector<std::string> entries;   // as the list shows them
    std::vector<int64_t> drop;          // line numbers selected
    std::string written;
    bool compat = false;
    bool caseSensitive = true;
    std::string regex = {};
    bool applyFilter = false;
    bool trim = false;
};

class EncodingsTest : public SaveTest {
protected:
    std::vector<std::string> entries()
    {
        std::vector<std::string> out;
        ShownText shown(result.encoding.encoding);
        for (int64_t i = 0; result.dups && i < result.dups->count(); ++i)
            out.push_back(shown.entry(*result.dups, i));
        return out;
    }

    void run(const CleanUp& c)
    {
        SCOPED_TRACE(c.name);
        Options& o = settings.options;
        o.textEncoding = c.encoding;
        o.compatForms = c.compat;
        o.caseSensitive = c.caseSensitive;
        o.filterPattern = c.regex;
        o.saveApplyFilter = c.applyFilter;
        o.trimLines = c.trim;
        scan(c.bytes);
        EXPECT_EQ(entries(), c.entries);
        if (c.drop.empty())
            return;
        for (int64_t line : c.drop)
            selectLines({line});
        const std::string target = dir.file("out.txt");
        ASSERT_EQ(saveTo(target), SaveOutcome::Written);
        EXPECT_EQ(readFile(target), c.written);
    }
};

TEST_F(EncodingsTest, KeptLinesComeBackAsTheirOwnBytes)
{
    const std::string esc = "\xEF\xBF\xBD";  // U+FFFD, as an invalid byte shows
    const CleanUp cases[] = {
        {"utf-8 invalid bytes", "a\xFF\nb\na\xFF\n", "UTF-8", {"[1]   a\xFF", "[3]   a\xFF"}, {3}, "a\xFF\nb\n"},
        {"gb18030 with an invalid byte", kNiHao + "\xFF\r\nx\r\n" + kNiHao + "\xFF\r\n", "GB18030",
         {"[1]   你好" + esc, "[3]   你好" + esc}, {1}, "x\r\n" + kNiHao + "\xFF\r\n"},
        {"utf-16le mark and a lone surrogate", "\xFF\xFE" + le("a") + "\x00\xD8"s + le("\nb\na") + "\x00\xD8"s + le("\n"),
         "auto", {"[1]   a" + esc + esc, "[3]   a" + esc + esc}, {3}, "\xFF\xFE" + le("a") + "\x00\xD8"s + le("\nb\n")},
        {"utf-32be mark", "\0\0\xFE\xFF\0\0\0q\0\0\0\n\0\0\0q"s, "auto", {"[1]   q", "[2]   q"}, {2},
         "\0\0\xFE\xFF\0\0\0q\0\0\0\n"s},
        {"utf-16 named, byte order from the mark", "\xFF\xFE" + le("k\nk\n"), "UTF-16", {"[1]   k", "[2]   k"}, {1},
         "\xFF\xFE" + le("k\n")},
        // Written the way they are compared: trimmed on the source bytes,
        // filtered keys encoded back, an invalid byte as itself.
        {"utf-16 trimmed", le(" x \nx\n"), "UTF-16LE", {"[1]   x", "[2]   x"}, {2}, le("x\n"), false, true, "",
         true, true},
        // A character beyond U+FFFF is a pair of units, not an escape.
        {"utf-16le key beyond the bmp", "\xFF\xFE=\xD8M\xDC\n\0=\xD8M\xDC"s, "auto", {"[1]   👍", "[2]   👍"}, {2},
         "\xFF\xFE=\xD8M\xDC\n\0"s, false, true, ".", true},
        {"utf-32le key beyond the bmp", "\xFF\xFE\0\0M\xF4\x01\0\n\0\0\0M\xF4\x01\0"s, "auto",
         {"[1]   👍", "[2]   👍"}, {2}, "\xFF\xFE\0\0M\xF4\x01\0\n\0\0\0"s, false, true, ".", true},
        {"gb18030 key beyond the bmp", "\x94\x39\xD1\x31\n\x94\x39\xD1\x31", "GB18030", {"[1]   👍", "[2]   👍"}, {2},
         "\x94\x39\xD1\x31\n", false, true, ".", true},
        {"gb18030 filtered", "id " + kNiHao + "\nno " + kNiHao + "\nk \xFF\n", "GB18030",
         {"[1]   你好", "[2]   你好"}, {2}, kNiHao + "\n\xFF\n", false, true, "\\S+$", true},
        {"utf-16 filtered", le("a1b22\nx1y22\n"), "UTF-16LE", {"[1]   122", "[2]   122"}, {1}, le("122\n"), false,
         true, "\\d+", true},
    };
    for (const CleanUp& c : cases)
        run(c);
}

TEST_F(EncodingsTest, MajorityOfLineEndsDecides)
{
    const CleanUp cases[] = {
        {"lf with a stray cr: the cr is text", "a\nx\ry\na\nx\ry\n", "auto", {"[1]   a", "[3]   a", "[2]   x\ry", "[4]   x\ry"},
         {3, 4}, "a\nx\ry\n"},
        {"lf with some cr lf: the same lines, each keeps its end", "a\r\nb\na\nb\r\nc", "auto",
         {"[1]   a", "[3]   a", "[2]   b", "[4]   b"}, {3, 4}, "a\r\nb\nc\n"},
        {"cr lf with cells holding lf", "h\r\n\"c\nd\"\r\nh\r\n\"c\nd\"\r\n", "auto",
         {"[1]   h", "[3]   h", "[2]   \"c\nd\"", "[4]   \"c\nd\""}, {3}, "h\r\n\"c\nd\"\r\n\"c\nd\"\r\n"},
        {"a tie is lf mode", "p\rq\np\rq\n", "auto", {"[1]   p\rq", "[2]   p\rq"}, {2}, "p\rq\n"},
        {"utf-16 by the same rule", le("a\r\nb\na\n"), "auto", {"[1]   a", "[3]   a"}, {1}, le("b\na\n")},
    };
    for (const CleanUp& c : cases)
        run(c);
}

TEST_F(EncodingsTest, CompatibilityFormsMatchWhenAsked)
{
    const CleanUp cases[] = {
        {"full width", "ＡＢＣ１２\nABC12\n", "auto", {"[1]   ＡＢＣ１２", "[2]   ABC12"}, {}, "", true},
        {"full width and case", "ａｂｃ\nABC\n", "auto", {"[1]   ａｂｃ", "[2]   ABC"}, {}, "", true, false},
        {"ligature and circled digit", "ﬁle ①\nfile 1\n", "auto", {"[1]   ﬁle ①", "[2]   file 1"}, {}, "", true},
        {"off by default", "ＡＢＣ\nABC\n", "auto", {}, {}, ""},
        {"in gb18030, shown as the line's own text", kFullAbc + "\nABC\nABC\n", "GB18030",
         {"[1]   ＡＢＣ", "[2]   ABC", "[3]   ABC"}, {2, 3}, kFullAbc + "\n", true},
        {"with a filter", "k:ＡＢ\nk:AB\n", "auto", {"[1]   ＡＢ", "[2]   AB"}, {}, "", true, true, "[^:]+$"},
    };
    for (const CleanUp& c : cases)
        run(c);
}

TEST_F(EncodingsTest, ClipboardTextsAreDecoded)
{
    settings.options.textEncoding = "GB18030";
    settings.options.filterPattern = "\\S+$";
    scan("a " + kNiHao + "\nb " + kNiHao + "\n");
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::Source, -1), "a 你好\nb 你好\n");
    EXPECT_EQ(buildCopyText(result, CopyRange::All, CopyContent::Filtered, -1), "你好\n你好\n");
}

// A stored encoding that cannot be used stops the open before anything is
// read, naming the settings file and the key: in a message box, or in the
// status of an unattended run.
TEST_F(EncodingsTest, AnEncodingThatCannotBeUsedFailsTheScan)
{
    const std::string path = dir.write("in.txt", "a\na\n");
    for (const bool unattended : {false, true})
        for (const auto& [name, why] : {std::pair{"no-such-encoding", "未知的文本编码：no-such-encoding"},
                                        std::pair{"ISO-2022-JP", "不支持按行处理的文本编码：ISO-2022-JP"}}) {
            session.unattended = unattended;
            host.forget();
            settings.options.textEncoding = name;
            EXPECT_EQ(openFile(session, path), ScanOutcome::Failed) << name;
            const std::string said = unattended ? host.status() : host.messages.at(0).text;
            EXPECT_EQ(said, text::badStoredSetting(settingsFileName(), "textEncoding", why));
            EXPECT_NE(said.find("Quillow.conf"), std::string::npos) << said;
            EXPECT_TRUE(result.file.empty());
            EXPECT_FALSE(session.busy);
        }
}

}  // namespace
}  // namespace quillow
