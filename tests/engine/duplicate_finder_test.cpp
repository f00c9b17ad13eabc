// The duplicate finder agrees with a plain map from each key's form to its
// first line, on one partition and on thousands, one core and two, in every
// way of comparing; cut short by time (as a slow filter makes it) it finds
// the same groups as in one pass. Keys read the same once copied out of the
// source.
#include "engine/dedup/duplicate_finder.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "engine/dedup/keys.h"
#include "support/generated_lines.h"

namespace quillow {
namespace {

// Every entry as "line:key", sorted; and how many calls came back early.
struct Found {
    std::vector<std::string> entries;
    int earlyReturns = 0;
};

Found findAll(const std::string& bytes, const Options& options, std::chrono::steady_clock::duration budget,
              const Encoding& encoding = Encoding(), DuplicateFinder::HashFn hash = &keyHash)
{
    auto source = std::make_shared<SourceLines>(bytes, codeUnitOf(encoding));
    DupsList list(source, 7);
    const std::unique_ptr<LineFilter> filter = filterFor(options);
    DuplicateFinder finder(*source, keyRules(options, filter.get(), encoding), list, hash);
    Found found;
    constexpr int64_t kRange = 1 << 16;
    for (int64_t begin = 0; begin < source->count();) {
        const int64_t rangeEnd = std::min(begin + kRange, source->count());
        const int64_t end = finder.process(begin, rangeEnd, budget);
        EXPECT_GT(end, begin);
        found.earlyReturns += end < rangeEnd;
        begin = end;
    }
    while (!finder.finish(budget))
        ++found.earlyReturns;
    list.sort();
    for (int64_t i = 0; i < list.count(); ++i)
        found.entries.push_back(std::to_string(list.lineNumber(i)) + ":" + std::to_string(list.group(i)) + ":" +
                                std::string(list.key(i)));
    // Keys copied out of the source (so that it can be freed) stay the same.
    list.detachKeys();
    source.reset();
    for (int64_t i = 0; i < list.count(); ++i)
        EXPECT_TRUE(found.entries[static_cast<size_t>(i)].ends_with(":" + std::string(list.key(i)))) << i;
    return found;
}

// The same entries the plain way: a map from each key's form (the key
// itself, its case fold, or KeyMaker's form) to its first line and key.
std::vector<std::string> findByMap(const std::string& bytes, const Options& options, const Encoding& encoding)
{
    const SourceLines source(bytes, codeUnitOf(encoding));
    const std::unique_ptr<LineFilter> filter = filterFor(options);
    const KeyRules rules = keyRules(options, filter.get(), encoding);
    KeyMaker maker(rules);
    struct Group {
        int64_t first;
        std::string key;
        bool repeated;
    };
    std::unordered_map<std::string, Group> groups;
    std::vector<std::pair<std::pair<int64_t, int64_t>, std::string>> entries;
    std::string scratch, form;
    for (int64_t i = 0; i < source.count(); ++i) {
        const std::string_view line = source.view(i);
        const std::string_view made = maker.key(line, scratch);
        const bool inLine = made.data() >= line.data() && made.data() + made.size() <= line.data() + line.size();
        const std::string key(made);
        if (maker.blank(key, inLine))
            continue;
        if (comparedByForm(rules))
            form = maker.form(key, inLine, scratch);
        else if (rules.mode == CompareMode::Text)
            foldCase(key, form);
        else
            form = key;
        auto [it, added] = groups.try_emplace(form, Group{i, key, false});
        if (added)
            continue;
        if (!it->second.repeated)
            entries.push_back({{it->second.first, it->second.first}, it->second.key});
        it->second.repeated = true;
        entries.push_back({{it->second.first, i}, key});
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (const auto& [at, key] : entries)
        out.push_back(std::to_string(at.second + 1) + ":" + std::to_string(at.first) + ":" + key);
    return out;
}

TEST(DuplicateFinder, AgreesWithAPlainMapOfForms)
{
    const testing::ComparedCase rows[] = {
        {"few lines, folded case", 300, 40, false, false, false, "", ""},
        {"many duplicates, two cores, exact", 120000, 70, true, false, false, "", ""},
        {"few duplicates, two cores, folded case, trimmed", 120000, 5, false, true, false, "", ""},
        {"filtered, folded case", 30000, 50, false, false, false, "\\d+|[A-Z]+", ""},
        {"compatibility forms, folded case", 30000, 50, false, false, true, "", ""},
        {"UTF-16LE, two cores, folded case, trimmed", 100000, 50, false, true, false, "", "UTF-16LE"},
    };
    for (const testing::ComparedCase& row : rows) {
        const Options options = row.options();
        const std::string bytes = row.bytes(static_cast<uint32_t>(row.lines + row.share));
        const std::vector<std::string> expected = findByMap(bytes, options, row.textEncoding());
        EXPECT_GT(expected.size(), static_cast<size_t>(row.lines * row.share / 200)) << row.name;
        EXPECT_EQ(findAll(bytes, options, std::chrono::steady_clock::duration::max(), row.textEncoding()).entries,
                  expected)
            << row.name;
    }
}

// Keys whose hashes collide (all but the bits that pick the partition and
// two more are dropped) are told apart by their texts.
TEST(DuplicateFinder, CollidingHashesAreComparedByText)
{
    const testing::ComparedCase rows[] = {
        {"exact", 20000, 60, true, false, false, "", ""},
        {"folded case, trimmed", 20000, 60, false, true, false, "", ""},
        {"filtered", 20000, 60, false, false, false, "\\d+|[A-Z]+", ""},
        {"UTF-16LE, folded case", 20000, 60, false, false, false, "", "UTF-16LE"},
    };
    auto colliding = [](CompareMode mode, std::string_view key) {
        return keyHash(mode, key) & (~uint64_t{0} << 51 | 3);
    };
    for (const testing::ComparedCase& row : rows) {
        const Options options = row.options();
        const std::string bytes = row.bytes(static_cast<uint32_t>(row.lines + row.share));
        EXPECT_EQ(findAll(bytes, options, std::chrono::steady_clock::duration::max(), row.textEncoding(), colliding).entries,
                  findByMap(bytes, options, row.textEncoding()))
            << row.name;
    }
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

}  // namespace
}  // namespace quillow
