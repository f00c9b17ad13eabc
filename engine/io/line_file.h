#pragma once
// The lines of a file read from the file itself when asked, for a scan that
// did not keep them in memory: the offset of every 64th line, and the lines
// of a few blocks of 64 around the ones shown, read with pread.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/line_splitter.h"

namespace quillow {

class LineFile {
public:
    static constexpr int64_t kStride = 64;

    // Reads fd, which it owns, with the scan's code unit and line ends.
    LineFile(int fd, CodeUnit unit, LineEndMode mode);
    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    // While scanning, for every line in order: where it starts.
    void noteLine(int64_t index, uint64_t offset)
    {
        if (index % kStride == 0)
            starts_.push_back(offset);
    }
    // Once scanned: the number of lines and the offset where the text ends.
    void finish(int64_t count, uint64_t end);
    int64_t count() const { return count_; }

    // A line without its end, its end, or length bytes at offset; empty
    // when the file cannot be read. Views stay valid until a few more calls.
    std::string_view line(int64_t index) const;
    std::string_view lineEnd(int64_t index) const;
    std::string_view bytes(uint64_t offset, uint32_t length) const;

private:
    struct Block {
        int64_t number = -1;
        uint64_t start = 0;
        std::string bytes;
        std::vector<std::array<size_t, 3>> lines;  // begin, length, next
        uint64_t lastUse = 0;
    };
    const std::array<size_t, 3>* find(int64_t index, const Block** block) const;

    int fd_;
    CodeUnit unit_;
    LineEndMode mode_;
    std::vector<uint64_t> starts_;
    uint64_t end_ = 0;
    int64_t count_ = 0;
    mutable std::array<Block, 8> cache_;
    mutable uint64_t uses_ = 0;
    // Stretches of the file that bytes() read: the keys of a list in group
    // order lie in a few streams that move forward through the file.
    struct Window {
        uint64_t start = 0;
        std::string bytes;
        uint64_t lastUse = 0;
    };
    mutable std::array<Window, 16> windows_;
};

}  // namespace quillow
