#pragma once
// A 64-bit fingerprint of a byte stream, the same whether it is fed at once
// or in blocks of any size. It tells whether a file read again is the one
// the scan read; it is no defence against a file made to collide.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillow {

class ContentHash {
public:
    void add(std::string_view bytes)
    {
        const char* p = bytes.data();
        size_t n = bytes.size();
        size_ += n;
        while (pending_ > 0 && n > 0) {  // fill the word begun by the last block
            word_ |= uint64_t{static_cast<unsigned char>(*p++)} << (8 * pending_);
            --n;
            if (++pending_ == 8) {
                mix(word_);
                pending_ = 0;
                word_ = 0;
            }
        }
        for (; n >= 8; n -= 8, p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            mix(w);
        }
        for (; n > 0; --n)
            word_ |= uint64_t{static_cast<unsigned char>(*p++)} << (8 * pending_++);
    }

    uint64_t value() const
    {
        uint64_t h = state_ ^ (word_ * kMul) ^ size_;
        h ^= h >> 29;
        h *= kMul;
        return h ^ (h >> 32);
    }

private:
    static constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
    void mix(uint64_t w)
    {
        state_ = (state_ ^ (w * kMul)) * 0xBF58476D1CE4E5B9ull;
        state_ ^= state_ >> 31;
    }

    uint64_t state_ = 0x243F6A8885A308D3ull;
    uint64_t word_ = 0;
    unsigned pending_ = 0;
    uint64_t size_ = 0;
};

}  // namespace quillow
