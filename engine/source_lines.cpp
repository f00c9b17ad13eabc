#include "engine/source_lines.h"

#include "engine/two_cores.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quillow {

LineEnds detectLineEnds(std::string_view bytes)
{
    return std::memchr(bytes.data(), '\r', bytes.size()) ? LineEnds::CR : LineEnds::LF;
}

int64_t countLines(std::string_view bytes, LineEnds ends)
{
    // Every terminator byte ends one line (a CR LF pair holds one CR); a last
    // line without terminator counts too.
    const char terminator = ends == LineEnds::LF ? '\n' : '\r';
    int64_t count = 0;
    const char* p = bytes.data();
    size_t i = 0;
    // Byte counters in blocks of 255 let the compiler vectorise the loop.
    while (i < bytes.size()) {
        const size_t end = std::min(bytes.size(), i + 255);
        uint8_t block = 0;
        for (; i < end; ++i)
            block += p[i] == terminator;
        count += block;
    }
    const size_t n = bytes.size();
    const bool endsWithTerminator =
        n > 0 && (bytes[n - 1] == terminator || (ends == LineEnds::CR && n >= 2 && bytes[n - 2] == '\r' && bytes[n - 1] == '\n'));
    if (n > 0 && !endsWithTerminator)
        ++count;
    return count;
}

LineSplit countLinesInHalves(std::string_view bytes, LineEnds ends, bool parallel)
{
    LineSplit split;
    const size_t n = bytes.size();
    const char terminator = ends == LineEnds::LF ? '\n' : '\r';
    const void* hit = n ? std::memchr(bytes.data() + n / 2, terminator, n - n / 2) : nullptr;
    split.at = hit ? static_cast<size_t>(static_cast<const char*>(hit) - bytes.data()) + 1 : n;
    if (ends == LineEnds::CR && split.at < n && bytes[split.at] == '\n')
        ++split.at;
    int64_t counts[2] = {0, 0};
    auto countPart = [&](int part) {
        counts[part] = countLines(part == 0 ? bytes.substr(0, split.at) : bytes.substr(split.at), ends);
    };
    onTwoCores(parallel, [&](int part) {
        countPart(part);
        if (!parallel)
            countPart(1);
    });
    split.firstCount = counts[0];
    split.total = counts[0] + counts[1];
    return split;
}

void SourceLines::addAllLines(const LineSplit& split, bool parallel)
{
    const std::string_view all = bytes();
    const size_t first = lines_.size();
    lines_.resize(first + static_cast<size_t>(split.total));
    auto fillPart = [&](int part) {
        const size_t base = part == 0 ? 0 : split.at;
        size_t index = first + (part == 0 ? 0 : static_cast<size_t>(split.firstCount));
        forEachLine(part == 0 ? all.substr(0, split.at) : all.substr(split.at), ends_,
                    [&](size_t begin, size_t length) {
                        if (length > std::numeric_limits<uint32_t>::max())
                            throw std::length_error("a line is longer than 4 GiB");
                        lines_[index++] = Line{base + begin, static_cast<uint32_t>(length)};
                    });
    };
    onTwoCores(parallel, [&](int part) {
        fillPart(part);
        if (!parallel)
            fillPart(1);
    });
    count_ += split.total;
}

SourceLines::SourceLines(BigVector<char> bytes, LineEnds ends, bool split) : buf_(std::move(bytes)), ends_(ends)
{
    if (!split)
        return;
    addAllLines(countLinesInHalves(this->bytes(), ends_, false), false);
}

SourceLines::SourceLines(std::string_view bytes, LineEnds ends, bool split)
    : SourceLines(BigVector<char>(bytes.begin(), bytes.end()), ends, split)
{
}

const SourceLines::Line& SourceLines::line(int64_t index) const
{
    if (index < 0 || index >= static_cast<int64_t>(lines_.size()) || index >= count_)
        throw ListIndexError("source list: index out of range");
    return lines_[static_cast<size_t>(index)];
}

std::string_view SourceLines::view(int64_t index) const
{
    const Line& l = line(index);
    return bytes().substr(l.offset, l.length);
}

std::string_view SourceLines::ownEnd(int64_t index) const
{
    const Line& l = line(index);
    const uint64_t end = l.offset + l.length;
    const uint64_t next = index + 1 < count_ ? lines_[static_cast<size_t>(index) + 1].offset : buf_.size();
    return bytes().substr(end, next - end);
}

void SourceLines::dropPrefix(int64_t index, size_t n)
{
    Line& l = const_cast<Line&>(line(index));
    n = std::min<size_t>(n, l.length);
    l.offset += n;
    l.length -= static_cast<uint32_t>(n);
}

void SourceLines::release()
{
    BigVector<char>().swap(buf_);
    BigVector<Line>().swap(lines_);
    released_ = true;
}

}  // namespace quillow
