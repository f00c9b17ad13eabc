#include "engine/io/source_lines.h"

#include <limits>
#include <stdexcept>

#include "engine/runtime/two_cores.h"

namespace quillow {

SourceLines::SourceLines(FileBytes bytes, size_t textStart, CodeUnit unit)
    : buf_(std::move(bytes)), textStart_(std::min(textStart, buf_.size())), unit_(unit)
{
}

SourceLines::SourceLines(std::string_view bytes, CodeUnit unit)
    : SourceLines(FileBytes(BigVector<char>(bytes.begin(), bytes.end())), 0, unit)
{
    addAllLines(layOutLines(bytes, unit, false), false);
}

SourceLines::SourceLines(std::shared_ptr<const LineFile> file, CodeUnit unit, LineEndMode mode)
    : file_(std::move(file)), count_(file_->count()), unit_(unit), mode_(mode)
{
}

void SourceLines::addAllLines(const LineLayout& layout, bool parallel, LineSink* sink)
{
    constexpr int64_t kBatch = 256;
    const std::string_view text = bytes().substr(textStart_);
    mode_ = layout.mode;
    const size_t first = lines_.size();
    lines_.resize(first + static_cast<size_t>(layout.total));
    // Where the starts' bits above the low 32 change, per half.
    std::vector<HighChange> changes[2];
    auto fillPart = [&](int part) {
        const size_t base = textStart_ + (part == 0 ? 0 : layout.at);
        size_t index = first + (part == 0 ? 0 : static_cast<size_t>(layout.firstCount));
        std::vector<HighChange>& seen = changes[part];
        size_t told = index;  // the first line the sink has not been told about
        splitLines(part == 0 ? text.substr(0, layout.at) : text.substr(layout.at), unit_, mode_,
                   [&](size_t begin, size_t length) {
                       if (length > std::numeric_limits<uint32_t>::max())
                           throw std::length_error("a line is longer than 4 GiB");
                       const uint64_t at = base + begin;
                       if (seen.empty() || seen.back().high != at >> 32)
                           seen.push_back(HighChange{static_cast<int64_t>(index), at >> 32});
                       lines_[index++] = Line{static_cast<uint32_t>(at), static_cast<uint32_t>(length)};
                       if (sink && index - told == kBatch) {
                           sink->recorded(part, static_cast<int64_t>(told), kBatch);
                           told = index;
                       }
                   });
        if (sink && index > told)
            sink->recorded(part, static_cast<int64_t>(told), static_cast<int64_t>(index - told));
    };
    onTwoCores(parallel, [&](int part) {
        fillPart(part);
        if (!parallel)
            fillPart(1);
    });
    for (const std::vector<HighChange>& seen : changes)
        for (const HighChange& c : seen)
            if (highs_.empty() ? c.high != 0 : highs_.back().high != c.high)
                highs_.push_back(c);
    count_ += layout.total;
}

const SourceLines::Line& SourceLines::line(int64_t index) const
{
    if (index < 0 || index >= static_cast<int64_t>(lines_.size()) || index >= count_)
        throw ListIndexError("source list: index out of range");
    return lines_[static_cast<size_t>(index)];
}

std::string_view SourceLines::view(int64_t index) const
{
    if (file_ && !released_) {
        if (index < 0 || index >= count_)
            throw ListIndexError("source list: index out of range");
        return file_->line(index);
    }
    const Line& l = line(index);
    return bytes().substr(offsetOf(index), l.length);
}

std::string_view SourceLines::lineEnd(int64_t index) const
{
    if (file_ && !released_) {
        if (index < 0 || index >= count_)
            throw ListIndexError("source list: index out of range");
        return file_->lineEnd(index);
    }
    // Lines follow each other: a line's end runs up to the next line's start.
    const size_t end = offsetOf(index) + line(index).length;
    const size_t next = index + 1 < count_ ? offsetOf(index + 1) : buf_.size();
    return bytes().substr(end, next - end);
}

std::string_view SourceLines::fileBytes(uint64_t offset, uint32_t length) const
{
    return file_ ? file_->bytes(offset, length) : bytes().substr(offset, length);
}

void SourceLines::release()
{
    buf_ = FileBytes();
    BigVector<Line>().swap(lines_);
    highs_.clear();
    file_.reset();
    released_ = true;
}

}  // namespace quillow
