#include "cli/list_output.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <string>

#include "cli/cli_host.h"

namespace quillow {

namespace {

// Collects lines and writes them in big blocks.
class BlockWriter {
public:
    explicit BlockWriter(int fd) : fd_(fd) { buf_.reserve(kBlock + 4096); }

    std::string& buf() { return buf_; }
    void number(int64_t n, int width = 0)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        const auto count = static_cast<int>(end - digits);
        if (count < width)
            buf_.append(static_cast<size_t>(width - count), '0');
        buf_.append(digits, end);
    }
    // After each line: writes when a block is full. 0, an errno, or -1 for Ctrl-C.
    int lineDone()
    {
        buf_ += '\n';
        if (buf_.size() < kBlock)
            return 0;
        if (interruptRequested())
            return -1;
        return flush();
    }
    int flush()
    {
        const char* p = buf_.data();
        size_t left = buf_.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? errno : EIO;
            p += n;
            left -= static_cast<size_t>(n);
        }
        buf_.clear();
        return 0;
    }

private:
    static constexpr size_t kBlock = size_t{4} << 20;
    int fd_;
    std::string buf_;
};

}  // namespace

int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd)
{
    std::string scratch;
    BlockWriter out(fd);
    const int64_t count = list.count();
    const bool sorted = list.sorted();
    const bool inMemory = list.keysInMemory();
    int64_t groupNumber = 0;
    for (int64_t i = 0; i < count; ++i) {
        std::string& buf = out.buf();
        if (!sorted) {
            buf += shown.entry(list, i);
        } else {
            // Keys lie all over the file's buffer: fetch a few entries ahead.
            if (i + 8 < count && inMemory)
                __builtin_prefetch(list.key(i + 8).data());
            if (form == ListForm::Tsv) {
                if (i == 0 || list.group(i) != list.group(i - 1))
                    ++groupNumber;
                out.number(list.lineNumber(i));
                buf += '\t';
                out.number(groupNumber);
                buf += '\t';
            } else {
                buf += '[';
                out.number(list.lineNumber(i), list.width());
                buf += "]   ";
            }
            buf += shown.key(list, i, scratch);
        }
        if (int failed = out.lineDone())
            return failed;
    }
    return out.flush();
}

int writeCounts(const DupsList& list, ShownText& shown, int fd)
{
    std::string scratch;
    BlockWriter out(fd);
    const int64_t count = list.count();
    for (int64_t first = 0; first < count;) {
        int64_t end = first + 1;
        while (end < count && list.group(end) == list.group(first))
            ++end;
        out.number(end - first);
        out.buf() += '\t';
        out.buf() += shown.key(list, first, scratch);
        if (int failed = out.lineDone())
            return failed;
        first = end;
    }
    return out.flush();
}

}  // namespace quillow
