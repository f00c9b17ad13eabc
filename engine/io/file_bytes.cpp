#include "engine/io/file_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

#include "engine/io/pending_temp_files.h"

namespace quillow {

namespace {

// The mappings, where the SIGBUS handler can reach them.
struct Region {
    std::atomic<uintptr_t> begin{0};
    std::atomic<size_t> size{0};
    std::atomic<bool> damaged{false};
};
Region g_regions[16];
// A region's begin while it is being filled in.
constexpr uintptr_t kFilling = 1;

static_assert(std::atomic<uintptr_t>::is_always_lock_free, "regions are read in a signal handler");

// The file behind a mapping shrank: from the page that faulted to the end
// of the mapping everything is replaced by zeros in one step (one mapping,
// however much was lost), the region is marked damaged, and the access goes
// on. Any other SIGBUS ends the program as it would have, its temporary
// files removed first.
void onBusError(int, siginfo_t* info, void*)
{
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    const auto pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    for (Region& r : g_regions) {
        const uintptr_t begin = r.begin.load(std::memory_order_acquire);
        const uintptr_t size = r.size.load(std::memory_order_acquire);
        if (begin > kFilling && at >= begin && at - begin < size) {
            const uintptr_t page = at & ~(pageSize - 1);
            const uintptr_t end = (begin + size + pageSize - 1) & ~(pageSize - 1);
            // Marked first: whoever reads the zeros must find the mark.
            r.damaged.store(true, std::memory_order_seq_cst);
            if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED,
                       -1, 0) != MAP_FAILED)
                return;
        }
    }
    removePendingTempFiles();
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

int registerRegion(const char* begin, size_t size)
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction sa {};
        sa.sa_sigaction = onBusError;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_SIGINFO | SA_RESTART;
        ::sigaction(SIGBUS, &sa, nullptr);
    });
    for (int i = 0; i < static_cast<int>(std::size(g_regions)); ++i) {
        uintptr_t expected = 0;
        Region& r = g_regions[i];
        if (r.begin.compare_exchange_strong(expected, kFilling)) {
            r.size.store(size, std::memory_order_release);
            r.damaged.store(false, std::memory_order_release);
            r.begin.store(reinterpret_cast<uintptr_t>(begin), std::memory_order_release);
            return i;
        }
    }
    return -1;
}

}  // namespace

std::optional<FileBytes> FileBytes::map(int fd, size_t size)
{
    if (size == 0)
        return std::nullopt;
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED)
        return std::nullopt;
    FileBytes bytes;
    bytes.map_ = static_cast<char*>(p);
    bytes.size_ = size;
    // Without a guard a shrinking file would end the program: read it instead.
    bytes.slot_ = registerRegion(bytes.map_, size);
    if (bytes.slot_ < 0)
        return std::nullopt;  // unmapped as bytes goes
    ::madvise(p, size, MADV_WILLNEED);
    return bytes;
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept
{
    if (this != &other) {
        unmap();
        buffer_ = std::move(other.buffer_);
        map_ = other.map_;
        size_ = other.size_;
        slot_ = other.slot_;
        other.map_ = nullptr;
        other.size_ = 0;
        other.slot_ = -1;
    }
    return *this;
}

bool FileBytes::damaged() const
{
    return slot_ >= 0 && g_regions[slot_].damaged.load(std::memory_order_acquire);
}

void FileBytes::unmap()
{
    if (map_) {
        if (slot_ >= 0)
            g_regions[slot_].begin.store(0, std::memory_order_release);
        ::munmap(map_, size_);
    }
    map_ = nullptr;
    size_ = 0;
    slot_ = -1;
}

}  // namespace quillow
