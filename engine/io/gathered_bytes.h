#pragma once
// Bytes gathered for an output: lines of a file, list entries. Pieces of a
// source buffer are copied 32 bytes at a time, which may read past the
// piece (never past the source) and write past it (into spare room): the
// pieces are short and lie far apart, and copies of one size cost less than
// copies of any size, whose branches the processor cannot foresee.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace quillow {

class GatheredBytes {
public:
    explicit GatheredBytes(size_t room = 0)
    {
        if (room > 0)
            grow(room);
    }
    void clear() { size_ = 0; }
    size_t size() const { return size_; }
    std::string_view view() const { return std::string_view(data_.get(), size_); }
    void append(std::string_view text) { append(text.data(), text.size()); }
    void push_back(char c) { *extend(1) = c; }
    // Room for n more bytes, counted as gathered: the caller writes them.
    char* extend(size_t n)
    {
        reserveMore(n);
        char* at = data_.get() + size_;
        size_ += n;
        return at;
    }
    // n bytes at from, which may lie in source.
    void append(const char* from, size_t n, std::string_view source = {})
    {
        if (n == 0)
            return;  // from may then be null
        const size_t rounded = (n + 31) & ~size_t{31};
        reserveMore(rounded);
        char* to = data_.get() + size_;
        const bool inSource = from >= source.data() && from < source.data() + source.size();
        if (n <= 256 && inSource && rounded <= static_cast<size_t>(source.data() + source.size() - from)) {
            for (size_t at = 0; at < rounded; at += 32)
                std::memcpy(to + at, from + at, 32);
        } else {
            std::memcpy(to, from, n);
        }
        size_ += n;
    }

private:
    void reserveMore(size_t n)
    {
        if (size_ + n > room_)
            grow(std::max(2 * room_, size_ + n));
    }
    void grow(size_t room)
    {
        auto bigger = std::make_unique_for_overwrite<char[]>(room);
        if (size_ > 0)
            std::memcpy(bigger.get(), data_.get(), size_);
        data_ = std::move(bigger);
        room_ = room;
    }

    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t room_ = 0;
};

}  // namespace quillow
