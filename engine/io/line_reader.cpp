#include "engine/io/line_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/io/file_info.h"

namespace quillow {

LineReader::LineReader(CodeUnit unit, LineEndMode mode, size_t blockSize, ReadFn readFn)
    : unit_(unit), mode_(mode), blockSize_(blockSize ? blockSize : 1), read_(readFn ? readFn : &::read)
{
}

LineReader::~LineReader() { close(); }

bool LineReader::open(const std::string& path)
{
    int error = 0;
    const int fd = openRegularFile(path, error);
    if (fd < 0) {
        close();
        error_ = error;
        return false;
    }
    attach(fd);
    return true;
}

void LineReader::attach(int fd)
{
    close();
    fd_ = fd;
    buf_.resize(blockSize_);
    rest_ = end_ = 0;
    found_.clear();
    foundCount_ = handedOut_ = 0;
    base_ = lineOffset_ = 0;
    eof_ = false;
    error_ = 0;
}

void LineReader::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool LineReader::fill()
{
    if (eof_ || error_ || fd_ < 0)
        return false;
    if (beforeFill)
        beforeFill();
    // Move the unreported bytes to the front. A line longer than a block
    // doubles what is read next, so that its bytes are split a bounded
    // number of times.
    std::memmove(buf_.data(), buf_.data() + rest_, end_ - rest_);
    end_ -= rest_;
    base_ += rest_;
    rest_ = 0;
    const size_t want = std::max(blockSize_, end_);
    if (buf_.size() - end_ < want)
        buf_.resize(end_ + want);
    for (;;) {
        ssize_t got = read_(fd_, buf_.data() + end_, buf_.size() - end_);
        if (got > 0) {
            if (onRead)
                onRead(std::string_view(buf_.data() + end_, static_cast<size_t>(got)));
            end_ += static_cast<size_t>(got);
            return true;
        }
        if (got == 0) {
            eof_ = true;
            return false;
        }
        if (errno != EINTR) {
            error_ = errno ? errno : EIO;
            return false;
        }
    }
}

bool LineReader::next(std::string_view& line, std::string_view* end)
{
    while (handedOut_ == foundCount_) {
        if (eof_ || error_ || fd_ < 0)
            return false;
        foundCount_ = handedOut_ = 0;
        const bool final = !fill();
        if (error_)
            return false;
        // A line is reported once its end is certain; the last one at the end
        // of the file. The list only grows here, off the per-line path, so
        // that the splitter's handler stays a store.
        size_t count = 0;
        rest_ = splitLines(std::string_view(buf_.data(), end_), unit_, mode_,
                           [&](size_t begin, size_t length, size_t next) {
                               if (count == found_.size()) [[unlikely]]
                                   found_.resize(std::max<size_t>(2 * count, 1024));
                               found_[count++] = {begin, length, next};
                           },
                           final);
        foundCount_ = count;
    }
    const Found& f = found_[handedOut_++];
    lineOffset_ = base_ + f.begin;
    line = std::string_view(buf_.data() + f.begin, f.length);
    if (end)
        *end = std::string_view(buf_.data() + f.begin + f.length, f.next - f.begin - f.length);
    return true;
}

}  // namespace quillow
