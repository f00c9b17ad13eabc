#include "engine/runtime/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

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

// A whole file's text, or nothing when it cannot be read.
std::optional<std::string> readText(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A file holding one number ("max" and beyond-int64 values: none).
std::optional<int64_t> readNumber(const std::string& path)
{
    const std::optional<std::string> text = readText(path);
    if (!text)
        return std::nullopt;
    try {
        size_t used = 0;
        const long long value = std::stoll(*text, &used);
        return value >= 0 ? std::optional<int64_t>(value) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The sum of the named counters of a memory.stat file.
int64_t statSum(const std::string& path, std::initializer_list<std::string_view> names)
{
    int64_t sum = 0;
    std::istringstream lines(readText(path).value_or(""));
    std::string name;
    long long value = 0;
    while (lines >> name >> value)
        if (std::find(names.begin(), names.end(), name) != names.end())
            sum += value;
    return sum;
}

// Where a cgroup hierarchy is mounted: the mount point and the group at it.
struct CgroupMount {
    std::string point, root;
};

// The mount of the v2 hierarchy (v1 false) or of v1's memory controller.
std::optional<CgroupMount> cgroupMount(const std::string& root, bool v1)
{
    std::istringstream lines(readText(root + "/proc/self/mountinfo").value_or(""));
    for (std::string line; std::getline(lines, line);) {
        // ID PARENT MAJ:MIN ROOT POINT OPTIONS [TAGS...] - TYPE SOURCE SUPER
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;)
            f.push_back(w);
        const auto dash = std::find(f.begin(), f.end(), "-");
        if (f.size() < 5 || dash == f.end() || dash + 1 == f.end())
            continue;
        const std::string& type = *(dash + 1);
        const std::string super = dash + 3 < f.end() ? *(dash + 3) : "";
        const bool memory = ("," + super + ",").find(",memory,") != std::string::npos;
        if (v1 ? (type == "cgroup" && memory) : type == "cgroup2")
            return CgroupMount{f[4], f[3]};
    }
    return std::nullopt;
}

}  // namespace

std::optional<int64_t> cgroupMemoryRoom(const std::string& root)
{
    std::optional<int64_t> room;
    std::istringstream lines(readText(root + "/proc/self/cgroup").value_or(""));
    for (std::string line; std::getline(lines, line);) {
        // ID:CONTROLLERS:PATH; v2 is "0::PATH".
        const size_t a = line.find(':'), b = line.find(':', a + 1);
        if (a == std::string::npos || b == std::string::npos)
            continue;
        const std::string controllers = line.substr(a + 1, b - a - 1);
        const bool v1 = ("," + controllers + ",").find(",memory,") != std::string::npos;
        if (!v1 && !(line.compare(0, a, "0") == 0 && controllers.empty()))
            continue;
        const std::optional<CgroupMount> mount = cgroupMount(root, v1);
        if (!mount)
            continue;
        std::string path = line.substr(b + 1);
        if (mount->root != "/" && path.compare(0, mount->root.size(), mount->root) == 0)
            path.erase(0, mount->root.size());
        // The group and each one above it, up to the mount point.
        for (;;) {
            const std::string dir = root + mount->point + (path == "/" ? "" : path);
            const std::optional<int64_t> limit = readNumber(dir + (v1 ? "/memory.limit_in_bytes" : "/memory.max"));
            // v1 writes "no limit" as a huge number.
            if (limit && *limit < (int64_t{1} << 60)) {
                const int64_t used = readNumber(dir + (v1 ? "/memory.usage_in_bytes" : "/memory.current")).value_or(0);
                const int64_t cache = v1 ? statSum(dir + "/memory.stat", {"total_inactive_file", "total_active_file"})
                                         : statSum(dir + "/memory.stat", {"inactive_file", "active_file"});
                const int64_t left = std::max<int64_t>(*limit - std::max<int64_t>(used - cache, 0), 0);
                room = std::min(room.value_or(kUnlimited), left);
            }
            if (path.empty() || path == "/")
                break;
            const size_t slash = path.find_last_of('/');
            path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
        }
    }
    return room;
}

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
    return std::min({machine, cgroupMemoryRoom().value_or(kUnlimited), processHeadroom()});
}

int64_t memoryLimit(std::string_view setting)
{
    if (const std::optional<int64_t> size = parseMemorySize(setting))
        return std::min(*size, processHeadroom());
    return availableMemory();
}

}  // namespace quillow
