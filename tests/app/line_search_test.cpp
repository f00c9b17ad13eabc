#include "app/line_search.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <string>
#include <vector>

namespace quillow {
namespace {

TEST(LineMatcher, TextPatternsAndCase)
{
    struct Row {
        const char* name;
        SearchQuery query;
        const char* text;
        bool matches;
    };
    const Row rows[] = {
        {"text", {"b.c", false, false}, "ab.cd", true},
        {"text is no pattern", {"b.c", false, false}, "abxcd", false},
        {"any case", {"STRASSE", false, false}, "straße? no: strasse", true},
        {"any case beyond ASCII", {"ÄRGER", false, false}, "viel ärger", true},
        {"case counts", {"Abc", false, true}, "abc", false},
        {"case counts, found", {"Abc", false, true}, "xAbcx", true},
        {"pattern", {"^\\d+$", true, false}, "12345", true},
        {"pattern, no match", {"^\\d+$", true, false}, "12a45", false},
        {"empty matches find nothing", {"x*", true, false}, "abc", false},
        {"empty text finds nothing", {"", false, false}, "abc", false},
    };
    for (const Row& row : rows) {
        const std::unique_ptr<LineMatcher> m = LineMatcher::create(row.query);
        ASSERT_TRUE(m) << row.name;
        EXPECT_EQ(m->matches(row.text), row.matches) << row.name;
    }
    std::string error;
    EXPECT_FALSE(LineMatcher::create({"(", true, false}, &error));
    EXPECT_FALSE(error.empty());
}

// Rows 0..n-1 hold "row N"; rows divisible by `every` hold "hit".
RowText rowsWithHits(int every)
{
    return [every](int64_t row, std::string& scratch) {
        scratch = row % every == 0 ? "hit " + std::to_string(row) : "row " + std::to_string(row);
        return std::string_view(scratch);
    };
}

TEST(SearchHits, NextAndPreviousWrapOnceEveryRowIsSearched)
{
    const auto matcher = LineMatcher::create({"hit", false, false});
    SearchHits hits(10000);
    std::string scratch;
    // One block searched: hits beyond it are not known yet.
    ASSERT_TRUE(hits.searchBlock(*matcher, rowsWithHits(3000), scratch));
    EXPECT_EQ(hits.searched(), SearchHits::kBlockRows);
    EXPECT_EQ(nextHit(hits, 0, true), 3000);
    EXPECT_EQ(nextHit(hits, 3000, true), std::nullopt);   // wait: 6000 lies ahead
    EXPECT_EQ(nextHit(hits, 9000, false), std::nullopt);  // wait: 6000 and 9000 lie between
    EXPECT_EQ(nextHit(hits, 3000, false), 0);
    EXPECT_EQ(nextHit(hits, 0, false), std::nullopt);  // the wrap needs the whole list

    hits.searchAll(*matcher, rowsWithHits(3000), std::stop_token());
    ASSERT_TRUE(hits.complete());
    EXPECT_EQ(hits.hitCount(), 4);
    EXPECT_EQ(nextHit(hits, 3000, true), 6000);
    EXPECT_EQ(nextHit(hits, 9000, true), 0);   // round to the first
    EXPECT_EQ(nextHit(hits, 0, false), 9000);  // round to the last
    EXPECT_EQ(nextHit(hits, -1, true), 0);
    EXPECT_EQ(hits.hitsBefore(6000), 2);
    EXPECT_EQ(hits.hitsBefore(6001), 3);
    EXPECT_TRUE(hits.isHit(9000));
    EXPECT_FALSE(hits.isHit(9001));

    SearchHits none(100);
    none.searchAll(*LineMatcher::create({"absent", false, false}), rowsWithHits(3), std::stop_token());
    EXPECT_EQ(nextHit(none, 50, true), -1);
    EXPECT_EQ(nextHit(none, 50, false), -1);
}

}  // namespace
}  // namespace quillow
