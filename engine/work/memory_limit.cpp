#include "engine/work/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/text/text_util.h"

namespace quillow {

namespace {

constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

// The "MemAvailable:" line of /proc/meminfo in bytes, or nullopt.
std::optional<int64_t> memAvailable()
{
    std::FILE* f = std::fopen("/proc/meminfo", "re");
    if (!f)
        return std::nullopt;
    char line[256];
    std::optional<int64_t> kib;
    while (std::fgets(line, sizeof line, f)) {
        long long value = 0;
        if (std::sscanf(line, "MemAvailable: %lld kB", &value) == 1) {
            kib = value;
            break;
        }
    }
    std::fclose(f);
    return kib ? std::optional(*kib * 1024) : std::nullopt;
}

// What the address-space and data limits leave beside what the process
// maps now, with room for the threads' stacks and heaps a scan starts.
int64_t processHeadroom()
{
    // A helper thread's stack (8 MiB) and malloc arena (64 MiB).
    constexpr int64_t kThreads = int64_t{80} << 20;
    int64_t headroom = kUnlimited;
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            pages = 0;
        std::fclose(f);
    }
    const int64_t mapped = int64_t{pages} * ::sysconf(_SC_PAGESIZE);
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            continue;
        const auto cap = static_cast<int64_t>(std::min<rlim_t>(limit.rlim_cur, kUnlimited));
        headroom = std::min(headroom, std::max<int64_t>(cap - mapped - kThreads, 0));
    }
    return headroom;
}

}  // namespace

std::optional<int64_t> parseMemorySize(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    int shift = 0;
    switch (text.back()) {
    case 'k': case 'K': shift = 10; break;
    case 'm': case 'M': shift = 20; break;
    case 'g': case 'G': shift = 30; break;
    case 't': case 'T': shift = 40; break;
    default: break;
    }
    if (shift)
        text.remove_suffix(1);
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int64_t value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    if (value == 0 || value > (kUnlimited >> shift))
        return std::nullopt;
    return value << shift;
}

int64_t availableMemory()
{
    const int64_t machine = memAvailable().value_or([] {
        const long pages = ::sysconf(_SC_AVPHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
        return pages > 0 && size > 0 ? int64_t{pages} * size : kUnlimited;
    }());
    return std::min(machine, processHeadroom());
}

int64_t memoryLimit(std::string_view setting)
{
    if (const std::optional<int64_t> size = parseMemorySize(setting))
        return std::min(*size, processHeadroom());
    return availableMemory();
}

}  // namespace quillow
