#include "engine/line_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/file_info.h"

namespace quillow {

LineReader::LineReader(LineEnds ends, size_t blockSize, ReadFn readFn)
    : ends_(ends), blockSize_(blockSize ? blockSize : 1), read_(readFn ? readFn : &::read)
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
    begin_ = end_ = scanned_ = 0;
    eof_ = skipLF_ = false;
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
    // Move the unread bytes to the front; grow only when a line fills the buffer.
    if (begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buf_.size() - end_ < blockSize_)
        buf_.resize(end_ + blockSize_);
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

bool LineReader::next(std::string_view& line)
{
    const char term = ends_ == LineEnds::LF ? '\n' : '\r';
    for (;;) {
        if (skipLF_ && begin_ < end_) {
            if (buf_[begin_] == '\n')
                ++begin_;
            skipLF_ = false;
        }
        const char* base = buf_.data();
        const void* hit = begin_ + scanned_ < end_
                              ? std::memchr(base + begin_ + scanned_, term, end_ - begin_ - scanned_)
                              : nullptr;
        if (hit) {
            size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
            line = std::string_view(base + begin_, at - begin_);
            begin_ = at + 1;
            scanned_ = 0;
            if (term == '\r') {
                if (begin_ < end_) {
                    if (buf_[begin_] == '\n')
                        ++begin_;
                } else {
                    skipLF_ = true;  // the LF, if any, is in the next block
                }
            }
            return true;
        }
        scanned_ = end_ - begin_;
        if (!fill()) {
            if (error_ || begin_ == end_)
                return false;
            // A last line without terminator counts.
            line = std::string_view(buf_.data() + begin_, end_ - begin_);
            begin_ = end_;
            scanned_ = 0;
            return true;
        }
    }
}

}  // namespace quillow
