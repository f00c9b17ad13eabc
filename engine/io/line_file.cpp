#include "engine/io/line_file.h"

#include <unistd.h>

#include <algorithm>

#include "engine/io/read_whole_file.h"

namespace quillow {

namespace {

// Reads count bytes at offset into to; false on an error or a short file.
bool readAt(int fd, char* to, size_t count, uint64_t offset)
{
    try {
        return readFileAt(fd, to, count, offset) == count;
    } catch (const ReadError&) {
        return false;
    }
}

}  // namespace

LineFile::LineFile(int fd, CodeUnit unit, LineEndMode mode) : fd_(fd), unit_(unit), mode_(mode) {}

LineFile::~LineFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void LineFile::finish(int64_t count, uint64_t end)
{
    count_ = count;
    end_ = end;
    starts_.shrink_to_fit();
}

const std::array<size_t, 3>* LineFile::find(int64_t index, const Block** block) const
{
    if (index < 0 || index >= count_)
        return nullptr;
    const int64_t number = index / kStride;
    auto it = std::find_if(cache_.begin(), cache_.end(), [&](const Block& b) { return b.number == number; });
    if (it == cache_.end()) {
        it = std::min_element(cache_.begin(), cache_.end(),
                              [](const Block& a, const Block& b) { return a.lastUse < b.lastUse; });
        Block& b = *it;
        b.number = -1;
        b.lines.clear();
        const auto n = static_cast<size_t>(number);
        if (n >= starts_.size())
            return nullptr;
        b.start = starts_[n];
        const uint64_t stop = n + 1 < starts_.size() ? starts_[n + 1] : end_;
        b.bytes.resize(static_cast<size_t>(stop - b.start));
        if (!readAt(fd_, b.bytes.data(), b.bytes.size(), b.start))
            return nullptr;
        splitLines(b.bytes, unit_, mode_, [&](size_t begin, size_t length, size_t next) {
            b.lines.push_back({begin, length, next});
        });
        b.number = number;
    }
    it->lastUse = ++uses_;
    *block = &*it;
    const auto at = static_cast<size_t>(index % kStride);
    return at < it->lines.size() ? &it->lines[at] : nullptr;
}

std::string_view LineFile::line(int64_t index) const
{
    const Block* block = nullptr;
    const std::array<size_t, 3>* l = find(index, &block);
    return l ? std::string_view(block->bytes).substr((*l)[0], (*l)[1]) : std::string_view();
}

std::string_view LineFile::lineEnd(int64_t index) const
{
    const Block* block = nullptr;
    const std::array<size_t, 3>* l = find(index, &block);
    return l ? std::string_view(block->bytes).substr((*l)[0] + (*l)[1], (*l)[2] - (*l)[0] - (*l)[1])
             : std::string_view();
}

std::string_view LineFile::bytes(uint64_t offset, uint32_t length) const
{
    for (const Block& b : cache_)
        if (b.number >= 0 && offset >= b.start && offset + length <= b.start + b.bytes.size())
            return std::string_view(b.bytes).substr(static_cast<size_t>(offset - b.start), length);
    for (Window& w : windows_) {
        if (offset >= w.start && offset + length <= w.start + w.bytes.size()) {
            w.lastUse = ++uses_;
            return std::string_view(w.bytes).substr(static_cast<size_t>(offset - w.start), length);
        }
    }
    // A page: texts asked for in the list's order lie all over the file,
    // and every window read copies its whole size (64 KiB windows made
    // --list of a 2.4 GB file beyond memory three times slower).
    constexpr uint64_t kWindow = 4 << 10;
    Window& w = *std::min_element(windows_.begin(), windows_.end(),
                                  [](const Window& a, const Window& b) { return a.lastUse < b.lastUse; });
    w.lastUse = ++uses_;
    w.start = offset - offset % 4096;
    const uint64_t end = std::min(std::max(w.start + kWindow, offset + length), std::max(end_, offset + length));
    w.bytes.resize(static_cast<size_t>(end - w.start));
    if (!readAt(fd_, w.bytes.data(), w.bytes.size(), w.start)) {
        // Near the end of a file that shrank: only what was asked.
        w.start = offset;
        w.bytes.resize(length);
        if (!readAt(fd_, w.bytes.data(), length, offset)) {
            w.bytes.clear();
            return {};
        }
    }
    return std::string_view(w.bytes).substr(static_cast<size_t>(offset - w.start), length);
}

}  // namespace quillow
