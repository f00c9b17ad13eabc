#pragma once
// An allocator for the few very large arrays of a scan (file bytes, line
// offsets, the hash partitions, the duplicates list): blocks of a megabyte or
// more come straight from mmap and are offered to transparent huge pages,
// which cuts the TLB misses of random access over hundreds of megabytes;
// elements are default-initialised, so sizing a byte buffer before reading
// into it costs no memset. A block given back is kept for the next one until
// the scan ends (releaseBigMemory): the system clears every fresh page it
// hands out, which costs as much as a whole pass of the scan where it runs
// in a virtual machine, while a block used again costs nothing.
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace quillow {

// Whole pages for at least bytes: a block kept from before, or fresh.
// Throws std::bad_alloc.
void* takeBigMemory(size_t bytes);
// Keeps the block for takeBigMemory.
void giveBigMemory(void* at, size_t bytes) noexcept;
// Gives the kept blocks back to the system.
void releaseBigMemory();

template <typename T>
class BigAllocator {
public:
    using value_type = T;
    static constexpr size_t kMmapThreshold = size_t{1} << 20;

    BigAllocator() noexcept = default;
    template <typename U>
    BigAllocator(const BigAllocator<U>&) noexcept {}

    T* allocate(size_t n)
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMmapThreshold)
            return static_cast<T*>(::operator new(bytes, std::align_val_t(alignof(T) > 16 ? alignof(T) : 16)));
        return static_cast<T*>(takeBigMemory(bytes));
    }

    void deallocate(T* p, size_t n) noexcept
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMmapThreshold)
            ::operator delete(p, std::align_val_t(alignof(T) > 16 ? alignof(T) : 16));
        else
            giveBigMemory(p, bytes);
    }

    // Default-initialise: no zeroing of bytes that are about to be read into.
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const BigAllocator<U>&) const noexcept { return true; }
};

template <typename T>
using BigVector = std::vector<T, BigAllocator<T>>;

}  // namespace quillow
