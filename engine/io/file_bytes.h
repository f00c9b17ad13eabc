#pragma once
// The bytes of a file held for a scan: a buffer of their own, or a big
// regular file mapped read-only, which costs neither a copy nor fresh memory
// to clear. A mapped file that shrinks under the program would end it with
// SIGBUS; instead the rest of the mapping reads as zeros from the first
// page it lost, and the bytes say they were damaged: the scan then fails,
// and whatever writes them out looks at damaged() before each write.
#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/runtime/big_allocator.h"

namespace quillow {

class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(BigVector<char> buffer) : buffer_(std::move(buffer)) {}
    // size bytes of fd mapped, or nothing when the system does not map it.
    static std::optional<FileBytes> map(int fd, size_t size);
    ~FileBytes() { unmap(); }
    FileBytes(FileBytes&& other) noexcept { *this = std::move(other); }
    FileBytes& operator=(FileBytes&& other) noexcept;

    std::string_view view() const { return map_ ? std::string_view(map_, size_) : std::string_view(buffer_.data(), buffer_.size()); }
    const char* data() const { return view().data(); }
    size_t size() const { return view().size(); }
    bool empty() const { return size() == 0; }
    bool mapped() const { return map_ != nullptr; }
    // Pages of the mapped file went missing (it shrank) and read as zeros.
    bool damaged() const;

private:
    void unmap();

    BigVector<char> buffer_;
    char* map_ = nullptr;
    size_t size_ = 0;
    int slot_ = -1;  // where the mapping is registered for the SIGBUS handler
};

}  // namespace quillow
