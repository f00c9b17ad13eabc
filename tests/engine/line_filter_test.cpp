#include "engine/dedup/line_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/dedup/keys.h"

namespace quillow {
namespace {

using Spans = std::vector<std::pair<size_t, size_t>>;

// The key the filter gives for line.
std::string filterKey(const std::string& pattern, int16_t caseSensitive, int16_t selector, std::string_view line)
{
    const std::unique_ptr<LineFilter> filter = LineFilter::create(pattern, caseSensitive == 0);
    EXPECT_TRUE(filter) << pattern;
    std::string scratch;
    return filter ? std::string(filter->select(line, selector, scratch)) : std::string();
}

struct KeyCase {
    const char* name;
    const char* pattern;
    int16_t caseSensitive;
    int16_t selector;
    std::string line;
    std::string key;
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class FilterKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FilterKeyTest, GivesKey)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(filterKey(c.pattern, c.caseSensitive, c.selector, c.line), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, FilterKeyTest,
    ::testing::Values(KeyCase{"AllJoined", "\\d+", 1, 0, "a1b22c333", "122333"},
                      KeyCase{"Second", "\\d+", 1, 2, "a1b22c333", "22"},
                      KeyCase{"PastCountIsEmpty", "\\d+", 1, 4, "a1b22c333", ""},
                      KeyCase{"Last", "\\d+", 1, -1, "a1b22c333", "333"},
                      KeyCase{"LastWithoutMatchKeepsLine", "x", 1, -1, "abc def", "abc def"},
                      KeyCase{"FirstWithoutMatchIsEmpty", "x", 1, 1, "abc def", ""},
                      KeyCase{"AllWithoutMatchIsEmpty", "x", 1, 0, "abc def", ""},
                      KeyCase{"BelowMinusOneKeepsLine", "\\d", 1, -2, "a1", "a1"},
                      KeyCase{"IgnoreCaseKeepsLinesLetters", "abc", 0, 1, "xxABCyy", "ABC"},
                      KeyCase{"CaseSensitiveMisses", "abc", 1, 1, "xxABCyy", ""},
                      KeyCase{"EmptyPatternMatchesEmpty", "", 1, 0, "abc", ""},
                      KeyCase{"EmptyPatternLastIsEmpty", "", 1, -1, "abc", ""}),
    [](const auto& info) { return info.param.name; });

// Patterns written for a JavaScript-style engine keep working.
INSTANTIATE_TEST_SUITE_P(
    ScriptSyntax, FilterKeyTest,
    ::testing::Values(KeyCase{"UnicodeEscape", "\\u0041+", 1, 0, "xAAy", "AA"},
                      KeyCase{"HexEscape", "\\x41", 1, 0, "xAy", "A"},
                      KeyCase{"BackslashCapitalUIsLiteral", "\\U", 1, 0, "aUb", "U"},
                      KeyCase{"DollarOnlyAtVeryEnd", "a$", 1, 1, "ba\n", ""},
                      KeyCase{"CaretOnlyAtStart", "^a", 1, 0, "aaa", "a"},
                      KeyCase{"NegatedEmptyClassMatchesAnything", "[^]", 1, 0, "a-b", "a-b"},
                      KeyCase{"UnsetBackreferenceMatchesEmpty", "(a)|\\1b", 1, 0, "b", "b"},
                      KeyCase{"DigitsAreAscii", "\\d+", 1, 0, "٣4", "4"},
                      KeyCase{"DotTakesWholeCharacter", "^.$", 1, 0, "é", "é"},
                      KeyCase{"CaselessAccented", "É", 0, 0, "café", "é"},
                      KeyCase{"CaselessCyrillic", "привет", 0, 0, "ПРИВЕТ мир", "ПРИВЕТ"},
                      KeyCase{"CaseSensitiveAccented", "É", 1, 0, "café", ""}),
    [](const auto& info) { return info.param.name; });

// Bytes that are not UTF-8 never fail a match and pass through unchanged.
INSTANTIATE_TEST_SUITE_P(
    InvalidUtf8, FilterKeyTest,
    ::testing::Values(KeyCase{"MatchAroundInvalidBytes", "\\d+", 1, 0, "a\xff\xfe" "1b\xc3" "2", "12"},
                      KeyCase{"NoMatchKeepsBytes", "z", 1, -1, "a\xff\xc3(", "a\xff\xc3("},
                      KeyCase{"WordsAcrossInvalidByte", "\\w+", 1, 0, "ab\xff" "cd", "abcd"}),
    [](const auto& info) { return info.param.name; });

std::unique_ptr<LineFilter> make(const std::string& pattern, bool ignoreCase = false, bool jit = true)
{
    std::string error;
    auto f = LineFilter::create(pattern, ignoreCase, &error, jit);
    EXPECT_TRUE(f) << pattern << ": " << error;
    return f;
}

TEST(LineFilterTest, EmptyMatchesAdvanceLikeJavaScript)
{
    struct Row {
        const char* pattern;
        std::string text;
        Spans spans;
    };
    const Row rows[] = {
        {"a*", "baaac", {{0, 0}, {1, 3}, {4, 0}, {5, 0}}},
        {"", "", {{0, 0}}},
        // One step is one character: never inside a UTF-8 sequence.
        {"", "é€", {{0, 0}, {2, 0}, {5, 0}}},
        {"\\b", "ab cd", {{0, 0}, {2, 0}, {3, 0}, {5, 0}}},
        {"x*", "\xff", {{0, 0}, {1, 0}}},
    };
    for (bool jit : {true, false}) {
        for (const Row& r : rows) {
            auto f = make(r.pattern, false, jit);
            Spans spans;
            ASSERT_TRUE(f->execute(r.text, spans)) << r.pattern;
            EXPECT_EQ(spans, r.spans) << "/" << r.pattern << "/ jit=" << jit;
        }
    }
}

TEST(LineFilterTest, EveryCharacterCanBeMatched)
{
    // PCRE2 10.42's JIT code in invalid-UTF mode let \S, \D and \W miss every
    // character beyond ASCII ("xé" and "xè" both gave "x"), and an invalid
    // byte, one character everywhere else, could not be matched at all.
    struct Row {
        const char* pattern;
        std::string text;
        bool escaped;
        std::string key;  // all matches joined
    };
    const Row rows[] = {
        {"\\S+", "xé", false, "xé"},
        {"\\S+", "xè", false, "xè"},
        {"\\D+", "1é2", false, "é"},
        {"\\W", "aé", false, "é"},
        {".+", "a\xFF" "b", false, "a\xFF" "b"},
        {"^.{3}$", "a\xFF" "b", false, "a\xFF" "b"},
        {"[^a]+", "a\xFF\xFE", false, "\xFF\xFE"},
        {"é", "\xFFé", false, "é"},
        // Decoded text: an escape is one character; raw, its bytes are three.
        {"^.{3}$", "a\xED\xB3\xBF" "b", true, "a\xED\xB3\xBF" "b"},
        {"^.{3}$", "a\xED\xB3\xBF" "b", false, ""},
    };
    for (bool jit : {true, false}) {
        for (const Row& r : rows) {
            auto f = make(r.pattern, false, jit);
            std::string scratch;
            EXPECT_EQ(f->select(r.text, 0, scratch, r.escaped), r.key) << "/" << r.pattern << "/ jit=" << jit;
        }
    }
}

TEST(LineFilterTest, SingleMatchIsViewIntoLineSeveralUseScratch)
{
    auto f = make("\\d+");
    const std::string line = "ab12cd";
    std::string scratch = "old";
    std::string_view key = f->select(line, 0, scratch);
    EXPECT_EQ(key, "12");
    EXPECT_EQ(key.data(), line.data() + 2);

    const std::string two = "1x22";
    key = f->select(two, 0, scratch);
    EXPECT_EQ(key, "122");
    EXPECT_EQ(key.data(), scratch.data());
    // A later single match must not return the stale joined text.
    key = f->select(line, 0, scratch);
    EXPECT_EQ(key, "12");
}

TEST(LineFilterTest, RuntimeLimitKeepsLineAndReturnsPromptly)
{
    // Exponential backtracking: without the match limit this never ends.
    const std::string line = std::string(39, 'a') + "!";
    for (bool jit : {true, false}) {
        auto f = make("(a+)+$", false, jit);
        Spans spans;
        EXPECT_FALSE(f->execute(line, spans)) << "jit=" << jit;
        std::string scratch;
        for (int selector : {-1, 0, 1})
            EXPECT_EQ(f->select(line, selector, scratch), line) << "jit=" << jit << " selector=" << selector;
    }
}

TEST(LineFilterTest, LongLinesDoNotHitTheLimits)
{
    // Backtracking points grow with the line; ordinary patterns must still work.
    const std::string line = std::string(190000, 'a') + "!";
    for (bool jit : {true, false}) {
        for (const char* pattern : {"(?:a|b)*", "(a)*", "(?:\\w\\s?)+"}) {
            auto f = make(pattern, false, jit);
            std::string scratch;
            EXPECT_EQ(f->select(line, 1, scratch).size(), line.size() - 1) << pattern << " jit=" << jit;
        }
    }
}

TEST(LineFilterTest, PatternErrorsGivePcre2sMessageAndOffset)
{
    const std::pair<const char*, const char*> rows[] = {
        {"a+", ""},
        {"", ""},
        {"(", "missing closing parenthesis at offset 1"},
        {"a{2,1}", "numbers out of order in {} quantifier at offset 5"},
        {"[b-a]", "range out of order in character class at offset 3"},
    };
    for (const auto& [pattern, error] : rows)
        EXPECT_EQ(filterPatternError(pattern), error) << pattern;
}

TEST(LineFilterTest, JitIsUsedWhereAvailable)
{
    EXPECT_TRUE(make("a")->jitCompiled());
    EXPECT_FALSE(make("a", false, false)->jitCompiled());
}

TEST(FilterForOptions, RefusedOrEmptyPatternGivesNoFilter)
{
    Options options;
    options.filterPattern = "\\d";
    options.filterMatch = 2;
    const std::unique_ptr<LineFilter> filter = filterFor(options);
    ASSERT_TRUE(filter);
    std::string scratch;
    EXPECT_EQ(lineKey(keyRules(options, filter.get()), "a1b2", scratch), "2");

    for (const char* bad : {"", "(", "[a", "a{2,1}", "\\uD800"}) {
        options.filterPattern = bad;
        EXPECT_FALSE(filterFor(options)) << bad;
        EXPECT_EQ(lineKey(keyRules(options, nullptr), "a1b2", scratch), "a1b2");
    }
}

}  // namespace
}  // namespace quillow
