// The duplicate finder cut short by time (as a slow filter makes it) finds
// the same groups as in one pass, on one core and on two; the keyed set
// grows beyond its reserve without losing a key.
#include "engine/duplicate_finder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/keys.h"

namespace quillow {
namespace {

// Every entry as "line:key", sorted; and how many calls came back early.
struct Found {
    std::vector<std::string> entries;
    int earlyReturns = 0;
};

Found findAll(const std::string& bytes, const Options& options, std::chrono::steady_clock::duration budget)
{
    auto source = std::make_shared<SourceLines>(bytes);
    DupsList list(source, 7);
    const std::unique_ptr<LineFilter> filter = filterFor(options);
    DuplicateFinder finder(*source, keyRules(options, filter.get()), list);
    Found found;
    constexpr int64_t kRange = 1 << 16;
    for (int64_t begin = 0; begin < source->count();) {
        const int64_t rangeEnd = std::min(begin + kRange, source->count());
        const int64_t end = finder.process(begin, rangeEnd, budget);
        EXPECT_GT(end, begin);
        found.earlyReturns += end < rangeEnd;
        begin = end;
    }
    list.sort();
    for (int64_t i = 0; i < list.count(); ++i)
        found.entries.push_back(std::to_string(list.lineNumber(i)) + ":" + std::string(list.key(i)));
    return found;
}

TEST(DuplicateFinder, RangesCutShortFindTheSameGroups)
{
    // Enough lines for the two-core split when unfiltered.
    std::string bytes;
    uint32_t x = 11;
    for (int i = 0; i < 150000; ++i) {
        x = x * 1103515245 + 12345;
        bytes += (x >> 9) % 5 == 0 ? "Key " : "key ";
        bytes += std::to_string((x >> 8) % 40000) + " tail" + std::to_string(i % 3) + "\n";
    }
    struct Row {
        const char* name;
        const char* pattern;
        bool caseSensitive;
    } rows[] = {
        {"unfiltered, folded case", "", false},
        {"unfiltered, exact", "", true},
        {"filtered, joined matches", "\\d+|y", false},
    };
    for (const Row& row : rows) {
        Options options;
        options.filterPattern = row.pattern;
        options.caseSensitive = row.caseSensitive;
        const Found whole = findAll(bytes, options, std::chrono::steady_clock::duration::max());
        const Found sliced = findAll(bytes, options, std::chrono::steady_clock::duration::zero());
        EXPECT_EQ(whole.earlyReturns, 0) << row.name;
        EXPECT_GT(sliced.earlyReturns, 100) << row.name;
        EXPECT_GT(whole.entries.size(), 100000u) << row.name;
        EXPECT_EQ(sliced.entries, whole.entries) << row.name;
    }
}

TEST(KeyedSet, GrowsWithoutLosingKeys)
{
    std::vector<std::string> keys;
    for (int i = 0; i < 100000; ++i)
        keys.push_back("k" + std::to_string(i % 30000));
    struct KeyOf {
        const std::vector<std::string>* keys;
        std::string_view operator()(uint32_t id) const { return (*keys)[id]; }
    };
    KeyedSet<KeyOf> set(CompareMode::Binary, KeyOf{&keys});  // no reserve: it grows from nothing
    for (uint32_t id = 0; id < keys.size(); ++id)
        ASSERT_EQ(set.findOrAdd(keys[id], id), id % 30000) << id;
    EXPECT_EQ(set.size(), 30000u);
    EXPECT_EQ(set.find("k29999"), 29999);
    EXPECT_EQ(set.find("k30000"), -1);
}

}  // namespace
}  // namespace quillow
