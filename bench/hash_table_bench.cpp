// The key hash and the grouping table of the scan in memory beside what the
// libraries offer, on the lines of a file (bench/hash_table.sh runs it on the
// benchmark file). Each case runs several times; medians with min and max,
// in nanoseconds a line.
//
// Hashes: absl::HashOf (absl's string hash), XXH3_64bits.
// The tables alone: each line's first line of the same 32-bit hash in its
// partition (HashSlots, absl::flat_hash_map).
// Grouping, the job of engine/dedup/duplicate_finder.cpp: every line's first
// occurrence, lines filed by the top bits of their hash into partitions of
// about 4096 in line order, each partition grouped with a table that stays
// in the cache (hashes computed once beforehand):
//   HashSlots     the hand-written table (engine/dedup/hash_partitions.h),
//                 matching by hash, then comparing the texts of the matches
//   flat_hash_map absl::flat_hash_map from the 32-bit hash to the first
//                 line, per partition, then comparing the same way
//   flat_hash_set absl::flat_hash_set of lines per partition, hashing by the
//                 stored hash and comparing texts inside the table
//   whole file    absl::flat_hash_map<string_view, line> over all lines, no
//                 partitions: the plain library way
#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>
#include <xxhash.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dedup/hash_partitions.h"

using namespace quillow;

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double median, min, max;
};

Timing timeRuns(int runs, size_t lines, const std::function<uint64_t()>& job)
{
    std::vector<double> ns;
    uint64_t sink = 0;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        sink += job();
        ns.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(lines));
    }
    std::sort(ns.begin(), ns.end());
    if (sink == 42)  // keeps the work from being optimised away
        std::puts("");
    return {ns[ns.size() / 2], ns.front(), ns.back()};
}

void print(const char* name, const Timing& t)
{
    std::printf("%-34s %8.1f %8.1f %8.1f\n", name, t.median, t.min, t.max);
}

struct Pair {
    uint32_t hash;
    uint32_t line;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lines.emplace_back(text.data() + at, end - at);
        at = end + 1;
    }
    const size_t n = lines.size();
    std::printf("%zu lines, %zu bytes; %d runs; ns a line: median, min, max\n", n, text.size(), runs);

    std::vector<uint64_t> hashes(n);
    print("hash: absl::HashOf", timeRuns(runs, n, [&] {
              for (size_t i = 0; i < n; ++i)
                  hashes[i] = absl::HashOf(absl::string_view(lines[i].data(), lines[i].size()));
              return hashes[n / 2];
          }));
    print("hash: XXH3_64bits", timeRuns(runs, n, [&] {
              for (size_t i = 0; i < n; ++i)
                  hashes[i] = XXH3_64bits(lines[i].data(), lines[i].size());
              return hashes[n / 2];
          }));

    // Partitions as the finder makes them (with the last hash computed).
    const int bits = partitionBits(static_cast<int64_t>(n), 4096, 13);
    std::vector<std::vector<Pair>> parts(size_t{1} << bits);
    for (size_t i = 0; i < n; ++i)
        parts[partitionOf(hashes[i], bits)].push_back(Pair{static_cast<uint32_t>(hashes[i]), static_cast<uint32_t>(i)});
    std::vector<uint32_t> first(n);
    auto checksum = [&] {
        uint64_t sum = 0;
        for (size_t i = 0; i < n; i += 97)
            sum += first[i];
        return sum;
    };
    // The matches' texts compared, all at once after the partition (as the finder does).
    auto verify = [&](const std::vector<Pair>& part, const std::vector<uint32_t>& match) {
        for (size_t k = 0; k < part.size(); ++k) {
            if (k + 16 < part.size())
                __builtin_prefetch(lines[part[match[k + 16]].line].data());
            const uint32_t line = part[k].line;
            uint32_t f = part[match[k]].line;
            if (lines[f] != lines[line]) {  // hashes that collide: the first equal line, the slow way
                size_t j = 0;
                while (part[j].hash != part[k].hash || lines[part[j].line] != lines[line])
                    ++j;
                f = part[j].line;
            }
            first[line] = f;
        }
    };

    // The tables alone: every line's first line of the same hash in its partition.
    print("table alone: HashSlots", timeRuns(runs, n, [&] {
              HashSlots table;
              uint64_t sum = 0;
              for (const std::vector<Pair>& part : parts) {
                  table.reset(part.size());
                  for (size_t k = 0; k < part.size(); ++k)
                      sum += table.findOrAdd(part[k].hash, static_cast<uint32_t>(k), [](uint32_t) { return true; });
              }
              return sum;
          }));
    print("table alone: absl::flat_hash_map", timeRuns(runs, n, [&] {
              absl::flat_hash_map<uint32_t, uint32_t> table;
              uint64_t sum = 0;
              for (const std::vector<Pair>& part : parts) {
                  table.clear();
                  table.reserve(part.size());
                  for (size_t k = 0; k < part.size(); ++k)
                      sum += table.try_emplace(part[k].hash, static_cast<uint32_t>(k)).first->second;
              }
              return sum;
          }));

    std::vector<uint64_t> sums;
    print("group: HashSlots", timeRuns(runs, n, [&] {
              HashSlots table;
              std::vector<uint32_t> match;
              for (const std::vector<Pair>& part : parts) {
                  table.reset(part.size());
                  match.resize(part.size());
                  for (size_t k = 0; k < part.size(); ++k)
                      match[k] = table.findOrAdd(part[k].hash, static_cast<uint32_t>(k), [](uint32_t) { return true; });
                  verify(part, match);
              }
              sums.push_back(checksum());
              return sums.back();
          }));
    print("group: absl::flat_hash_map", timeRuns(runs, n, [&] {
              absl::flat_hash_map<uint32_t, uint32_t> table;
              std::vector<uint32_t> match;
              for (const std::vector<Pair>& part : parts) {
                  table.clear();
                  table.reserve(part.size());
                  match.resize(part.size());
                  for (size_t k = 0; k < part.size(); ++k)
                      match[k] = table.try_emplace(part[k].hash, static_cast<uint32_t>(k)).first->second;
                  verify(part, match);
              }
              sums.push_back(checksum());
              return sums.back();
          }));
    print("group: absl::flat_hash_set", timeRuns(runs, n, [&] {
              // Lines in the table; hashed by their stored hash, compared by text.
              const std::vector<Pair>* part = nullptr;
              struct Hash {
                  const std::vector<Pair>** part;
                  size_t operator()(uint32_t k) const { return (**part)[k].hash; }
              };
              struct Equal {
                  const std::vector<Pair>** part;
                  const std::vector<std::string_view>* lines;
                  bool operator()(uint32_t a, uint32_t b) const
                  {
                      return (**part)[a].hash == (**part)[b].hash &&
                             (*lines)[(**part)[a].line] == (*lines)[(**part)[b].line];
                  }
              };
              absl::flat_hash_set<uint32_t, Hash, Equal> table(0, Hash{&part}, Equal{&part, &lines});
              for (const std::vector<Pair>& p : parts) {
                  part = &p;
                  table.clear();
                  table.reserve(p.size());
                  for (size_t k = 0; k < p.size(); ++k)
                      first[p[k].line] = p[*table.insert(static_cast<uint32_t>(k)).first].line;
              }
              sums.push_back(checksum());
              return sums.back();
          }));
    print("group: whole file, flat_hash_map", timeRuns(runs, n, [&] {
              absl::flat_hash_map<std::string_view, uint32_t> table;
              table.reserve(n);
              for (size_t i = 0; i < n; ++i)
                  first[i] = table.try_emplace(lines[i], static_cast<uint32_t>(i)).first->second;
              sums.push_back(checksum());
              return sums.back();
          }));
    const bool agree = std::all_of(sums.begin(), sums.end(), [&](uint64_t s) { return s == sums.front(); });
    std::printf("all tables found the same first lines: %s\n", agree ? "yes" : "NO");
    return agree ? 0 : 1;
}
