#pragma once
// A 64-bit fingerprint of a byte stream (XXH3), the same whether it is fed
// at once or in blocks of any size. It tells whether a file read again is
// the one the scan read; it is no defence against a file made to collide.
#include <xxhash.h>

#include <memory>
#include <string_view>

namespace quillow {

class ContentHash {
public:
    ContentHash() : state_(XXH3_createState(), &XXH3_freeState)
    {
        if (!state_)
            throw std::bad_alloc();
        XXH3_64bits_reset(state_.get());
    }

    void add(std::string_view bytes) { XXH3_64bits_update(state_.get(), bytes.data(), bytes.size()); }
    uint64_t value() const { return XXH3_64bits_digest(state_.get()); }

private:
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state_;
};

}  // namespace quillow
