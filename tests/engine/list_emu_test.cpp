#include <gtest/gtest.h>

#include "engine/dups_list.h"
#include "engine/keyed_set.h"
#include "engine/list_emu.h"
#include "engine/source_lines.h"

namespace quillow {
namespace {

std::vector<std::string> texts(const LineList& l)
{
    std::vector<std::string> out;
    for (int64_t i = 0; i < l.ListCount(); ++i)
        out.push_back(l.List(i));
    return out;
}

TEST(ListEmu, CapacityIsTheUpperLimit)
{
    clsListEmu s;
    s.setUpperLimit(5);
    for (int i = 0; i < 5; ++i)
        s.AddItem("x" + std::to_string(i));
    EXPECT_THROW(s.AddItem("sixth"), ListIndexError);
    EXPECT_EQ(s.ListCount(), 5);
    EXPECT_THROW(s.List(5), ListIndexError);
    EXPECT_THROW(s.List(-1), ListIndexError);

    clsListEmu fresh;  // never sized
    EXPECT_THROW(fresh.AddItem("a"), ListIndexError);
}

TEST(ListEmu, ClearKeepsTheArrayAndResizingKeepsTheCount)
{
    clsListEmu s;
    s.setUpperLimit(3);
    s.AddItem("a");
    s.AddItem("b");
    s.Clear();
    s.AddItem("x");
    EXPECT_EQ(s.ListCount(), 1);
    EXPECT_EQ(s.List(0), "x");
    EXPECT_FALSE(s.Selected(0));

    s.AddItem("y");
    s.setUpperLimit(1);  // texts gone, count stays
    EXPECT_EQ(s.ListCount(), 2);
    EXPECT_EQ(s.List(0), "");
    EXPECT_THROW(s.List(1), ListIndexError);
}

TEST(ListEmu, RemoveItemMovesTextsAndFlags)
{
    clsListEmu s;
    s.setUpperLimit(3);
    s.AddItem("a");
    s.AddItem("b");
    s.AddItem("c");
    s.SetSelected(1, true);
    s.SetList(2, "c2");
    s.RemoveItem(0);
    EXPECT_EQ(texts(s), (std::vector<std::string>{"b", "c2"}));
    EXPECT_TRUE(s.Selected(0));
    EXPECT_FALSE(s.Selected(1));
    EXPECT_THROW(s.RemoveItem(2), ListIndexError);
}

TEST(ListEmu, ShellSortOrdersTextsIgnoringCaseAndLeavesFlags)
{
    clsListEmu s;
    s.setUpperLimit(10);
    s.AddItem("0[3]   b");
    s.AddItem("0[1]   a");
    s.AddItem("1[2]   c");
    s.SetSelected(0, true);
    s.ShellSort();
    EXPECT_EQ(texts(s), (std::vector<std::string>{"0[1]   a", "0[3]   b", "1[2]   c"}));
    EXPECT_TRUE(s.Selected(0));  // flags stay in their slots

    clsListEmu c;
    c.setUpperLimit(10);
    for (const char* t : {"b", "B", "a", "C", "c", "A"})
        c.AddItem(t);
    c.ShellSort();
    // Equal texts ignoring case keep no particular order, but groups are ordered.
    auto t = texts(c);
    for (size_t i = 0; i + 1 < t.size(); ++i)
        EXPECT_LE(compareIgnoringCase(t[i], t[i + 1]), 0) << t[i] << " before " << t[i + 1];

    clsListEmu one, none;
    one.setUpperLimit(1);
    one.AddItem("z");
    one.ShellSort();
    none.setUpperLimit(0);
    none.ShellSort();
    EXPECT_EQ(texts(one), std::vector<std::string>{"z"});
    EXPECT_EQ(none.ListCount(), 0);
}

TEST(ListEmu, ShellSortMatchesAStandardSortOnManyEntries)
{
    clsListEmu s;
    const int n = 2000;
    s.setUpperLimit(n);
    std::vector<std::string> expected;
    uint32_t x = 12345;
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245 + 12345;
        std::string t = padNumber((x >> 8) % 100000, 6) + "[" + padNumber(i, 4) + "]";
        s.AddItem(t);
        expected.push_back(t);
    }
    std::sort(expected.begin(), expected.end());
    s.ShellSort();
    EXPECT_EQ(texts(s), expected);
}

TEST(SourceLines, LineRules)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } rows[] = {
        {"unix", "a\nb\n", {"a", "b"}},
        {"unix no final terminator", "a\nb", {"a", "b"}},
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"cr only", "a\rb\r", {"a", "b"}},
        {"lone lf stays inside in a cr file", "a\nb\r\nc", {"a\nb", "c"}},
        {"empty lines", "\n\nx\n", {"", "", "x"}},
        {"cr then empty crlf", "a\r\r\n", {"a", ""}},
        {"nul bytes kept", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const Row& r : rows) {
        SourceLines s(r.bytes, detectLineEnds(r.bytes));
        EXPECT_EQ(texts(s), r.lines) << r.name;
    }
}

TEST(SourceLines, FastCountAgreesWithTheSplitter)
{
    uint32_t x = 99;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        x = x * 1664525 + 1013904223;
        size_t len = (x >> 24) % 12;
        for (size_t i = 0; i < len; ++i) {
            x = x * 1664525 + 1013904223;
            bytes += "a\r\n"[(x >> 20) % 3];
        }
        LineEnds ends = detectLineEnds(bytes);
        int64_t n = 0;
        forEachLine(bytes, ends, [&](size_t, size_t) { ++n; });
        ASSERT_EQ(countLines(bytes, ends), n) << testing::PrintToString(bytes);
    }
}

TEST(SourceLines, ReleasedListKeepsItsCountButNotItsTexts)
{
    SourceLines s("a\nb\n", LineEnds::LF);
    s.release();
    EXPECT_EQ(s.ListCount(), 2);
    EXPECT_THROW(s.List(0), ListIndexError);
}

TEST(DupsList, FormatsEntriesAndReadsBackLineNumbers)
{
    auto src = std::make_shared<SourceLines>("abc\nx\nabc\n", LineEnds::LF);
    DupsList d(src, 2);
    d.append(2, 0, src->view(2));
    d.append(0, 0, "ABC");  // a key that is not in the file goes to the arena
    EXPECT_EQ(d.List(0), "00[03]   abc");  // working form until sorted
    d.sort();
    EXPECT_EQ(d.List(0), "[01]   ABC");
    EXPECT_EQ(d.List(1), "[03]   abc");
    EXPECT_EQ(d.lineNumber(1), 3);
    d.detachKeys();
    src->release();
    EXPECT_EQ(d.List(1), "[03]   abc");
    EXPECT_THROW(d.List(2), ListIndexError);
}

TEST(KeyedSet, BinaryAndTextModes)
{
    std::vector<std::string> keys = {"Straße", "STRASSE", "abc", "ABC", "\xC3", "\xC3"};
    auto keyOf = [&](uint32_t id) { return std::string_view(keys[id]); };

    KeyedSet binary(CompareMode::Binary, keyOf);
    KeyedSet text(CompareMode::Text, keyOf);
    std::vector<uint32_t> b, t;
    for (uint32_t i = 0; i < keys.size(); ++i) {
        b.push_back(binary.findOrAdd(keys[i], i));
        t.push_back(text.findOrAdd(keys[i], i));
    }
    EXPECT_EQ(b, (std::vector<uint32_t>{0, 1, 2, 3, 4, 4}));
    // Full case folding: ß folds to ss; invalid bytes compare as themselves.
    EXPECT_EQ(t, (std::vector<uint32_t>{0, 0, 2, 2, 4, 4}));
    EXPECT_TRUE(text.Exists("strasse"));
    EXPECT_FALSE(binary.Exists("strasse"));
    EXPECT_EQ(text.find("Abc"), 2);
}

}  // namespace
}  // namespace quillow

#include <clocale>

namespace quillow {
namespace {

TEST(TextUtil, CaseInsensitiveEqualityAndFolding)
{
    struct Row {
        std::string a, b;
        bool equal;
    } rows[] = {
        {"Hello, World! 0123456789 @[`{", "hELLO, wORLD! 0123456789 @[`{", true},
        {"@[`{", "`{@[", false},  // neighbours of the letters are not letters
        {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYy", false},
        {"abcdefghé", "ABCDEFGHÉ", true},  // non-ASCII after the first word
        {"strasse", "STRAßE", true},       // lengths differ, folds agree
        {"abc", "abcd", false},
        {"", "", true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(equalIgnoringCase(r.a, r.b), r.equal) << r.a << " / " << r.b;
        std::string fa, fb;
        foldCase(r.a, fa);
        foldCase(r.b, fb);
        EXPECT_EQ(fa == fb, r.equal) << r.a << " / " << r.b;
    }
    EXPECT_TRUE(isAscii("0123456789abcdef~"));
    EXPECT_FALSE(isAscii("0123456789abcdef\x80"));
}

TEST(TextUtil, NumbersReadTheSameUnderADecimalCommaLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(leadingNumber("6217.5"), 6217.5);
    EXPECT_EQ(leadingNumber("12x"), 12);
    EXPECT_EQ(leadingNumber("+7"), 7);
    EXPECT_EQ(leadingNumber("-3.5abc"), -3.5);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(parseNumber("2.5"), 2.5);
    EXPECT_FALSE(parseNumber("2,5"));
    EXPECT_EQ(toInt16(6217.5), 6218);
    EXPECT_EQ(toInt16(6216.5), 6216);
    EXPECT_FALSE(toInt16(32768));
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma)
        GTEST_SKIP() << "de_DE locale not installed; checked under the C locale only";
}

}  // namespace
}  // namespace quillow
