#include "engine/runtime/big_allocator.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace quillow {

namespace {

struct Block {
    void* at;
    size_t bytes;
};

// Blocks given back and not yet taken again.
std::mutex g_mutex;
std::vector<Block> g_spare;

size_t pageRounded(size_t bytes)
{
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

void* takeBigMemory(size_t bytes)
{
    bytes = pageRounded(bytes);
    {
        const std::lock_guard lock(g_mutex);
        if (!g_spare.empty()) {
            // The smallest block that holds the bytes, cut to size.
            auto fits = g_spare.end();
            for (auto it = g_spare.begin(); it != g_spare.end(); ++it)
                if (it->bytes >= bytes && (fits == g_spare.end() || it->bytes < fits->bytes))
                    fits = it;
            if (fits != g_spare.end()) {
                const Block b = *fits;
                g_spare.erase(fits);
                if (b.bytes > bytes)
                    ::munmap(static_cast<char*>(b.at) + bytes, b.bytes - bytes);
                return b.at;
            }
            // None does: the biggest one grows; the others go, so that the
            // spares never add to what the program holds.
            auto biggest = std::max_element(g_spare.begin(), g_spare.end(),
                                            [](const Block& a, const Block& b) { return a.bytes < b.bytes; });
            const Block b = *biggest;
            g_spare.erase(biggest);
            for (const Block& other : g_spare)
                ::munmap(other.at, other.bytes);
            g_spare.clear();
            void* grown = ::mremap(b.at, b.bytes, bytes, MREMAP_MAYMOVE);
            if (grown != MAP_FAILED) {
#ifdef MADV_HUGEPAGE
                ::madvise(grown, bytes, MADV_HUGEPAGE);
#endif
                return grown;
            }
            ::munmap(b.at, b.bytes);
        }
    }
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void giveBigMemory(void* at, size_t bytes) noexcept
{
    const std::lock_guard lock(g_mutex);
    try {
        g_spare.push_back(Block{at, pageRounded(bytes)});
    } catch (const std::bad_alloc&) {
        ::munmap(at, pageRounded(bytes));
    }
}

void releaseBigMemory()
{
    const std::lock_guard lock(g_mutex);
    for (const Block& b : g_spare)
        ::munmap(b.at, b.bytes);
    g_spare.clear();
}

}  // namespace quillow
