#include "engine/io/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include "engine/io/file_info.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// Reading ahead pays for its thread from this many blocks on.
constexpr int64_t kBlocksWorthReadingAhead = 4;
// Room beside a block for the start of a line the block before cut.
constexpr size_t kCarryRoom = size_t{64} << 10;

}  // namespace

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
    for (Block& b : blocks_)
        b.end = b.rest = b.count = 0;
    current_ = nullptr;
    taken_ = produced_ = released_ = 0;
    handedOut_ = 0;
    lineOffset_ = 0;
    done_ = stopping_ = false;
    failure_ = nullptr;
    error_ = 0;
}

void LineReader::close()
{
    stopReadingAhead();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void LineReader::stopReadingAhead()
{
    if (!ahead_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    ahead_.join();
}

void LineReader::produce(const Block* previous, Block& into)
{
    // The unreported bytes come first (moved to the front when previous is
    // into). A line longer than a block doubles what is read next, so that
    // its bytes are split a bounded number of times.
    const size_t from = previous ? previous->rest : 0;
    const size_t carry = previous ? previous->end - from : 0;
    into.base = previous ? previous->base + from : 0;
    into.rest = into.count = 0;
    into.last = false;
    into.error = 0;
    const size_t need = carry + std::max(blockSize_, carry);
    if (into.buf.size() < need)
        into.buf.resize(need);
    if (carry > 0)
        std::memmove(into.buf.data(), (previous == &into ? into.buf : previous->buf).data() + from, carry);
    into.end = carry;
    for (;;) {
        const ssize_t got = read_(fd_, into.buf.data() + carry, into.buf.size() - carry);
        if (got > 0) {
            if (onRead)
                onRead(std::string_view(into.buf.data() + carry, static_cast<size_t>(got)));
            into.end += static_cast<size_t>(got);
            break;
        }
        if (got == 0) {
            into.last = true;
            break;
        }
        if (errno != EINTR) {
            into.error = errno ? errno : EIO;
            into.last = true;
            return;
        }
    }
    // A line is reported once its end is certain; the last one at the end of
    // the file. The list only grows here, off the per-line path, so that the
    // splitter's handler stays a store.
    size_t count = 0;
    into.rest = splitLines(std::string_view(into.buf.data(), into.end), unit_, mode_,
                           [&](size_t begin, size_t length, size_t next) {
                               if (count == into.found.size()) [[unlikely]]
                                   into.found.resize(std::max<size_t>(2 * count, 1024));
                               into.found[count++] = {begin, length, next};
                           },
                           into.last);
    into.count = count;
}

void LineReader::readAhead()
{
    for (uint64_t s = 0;; ++s) {
        {
            // Block s takes the buffer of block s - 2, once that is let go.
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || s <= released_ + 1; });
            if (stopping_)
                return;
        }
        Block& into = blocks_[s % 2];
        try {
            produce(s > 0 ? &blocks_[(s - 1) % 2] : nullptr, into);
        } catch (...) {
            failure_ = std::current_exception();
            into.last = true;
        }
        {
            const std::lock_guard lock(mutex_);
            produced_ = s + 1;
        }
        changed_.notify_all();
        if (into.last)
            return;
    }
}

void LineReader::startReadingAhead()
{
    // Both blocks are taken before the thread starts: where memory is short
    // the file is read here instead, with one block.
    try {
        blocks_[0].buf.reserve(blockSize_ + kCarryRoom);
    } catch (const std::bad_alloc&) {
    }
    struct stat st {};
    if (!readAhead_ || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) ||
        !worthTwoCores(st.st_size, kBlocksWorthReadingAhead * static_cast<int64_t>(blockSize_)))
        return;
    try {
        blocks_[1].buf.reserve(blockSize_ + kCarryRoom);
        ahead_ = std::thread([this] { readAhead(); });
    } catch (const std::exception&) {  // std::bad_alloc, or std::system_error: no thread
        std::vector<char>().swap(blocks_[1].buf);
    }
}

bool LineReader::advance()
{
    if (done_ || fd_ < 0)
        return false;
    if (taken_ > 0) {
        if (current_->last) {
            done_ = true;
            stopReadingAhead();
            return false;
        }
        if (beforeFill)
            beforeFill();
    } else {
        startReadingAhead();
    }
    if (ahead_.joinable()) {
        std::unique_lock lock(mutex_);
        released_ = taken_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return produced_ > taken_; });
        if (failure_)
            std::rethrow_exception(failure_);
        current_ = &blocks_[taken_ % 2];
    } else {
        // One block, refilled in place.
        produce(current_, blocks_[0]);
        current_ = &blocks_[0];
    }
    ++taken_;
    const Block& b = *current_;
    handedOut_ = 0;
    if (b.error) {
        error_ = b.error;
        done_ = true;
        return false;
    }
    return true;
}

bool LineReader::next(std::string_view& line, std::string_view* end)
{
    while (!current_ || handedOut_ == current_->count)
        if (!advance())
            return false;
    const Block& b = *current_;
    const Found& f = b.found[handedOut_++];
    lineOffset_ = b.base + f.begin;
    line = std::string_view(b.buf.data() + f.begin, f.length);
    if (end)
        *end = std::string_view(b.buf.data() + f.begin + f.length, f.next - f.begin - f.length);
    return true;
}

}  // namespace quillow
