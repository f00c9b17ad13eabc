#include "cli/list_output.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <string>

#include "cli/cli_front_end.h"
#include "engine/io/file_info.h"
#include "engine/work/two_cores.h"

namespace quillow {

namespace {

// The decimal text of n, zero-padded to width, after out.
void appendNumber(std::string& out, int64_t n, int width = 0)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    const auto count = static_cast<int>(end - digits);
    if (count < width)
        out.append(static_cast<size_t>(width - count), '0');
    out.append(digits, end);
}

// 0, the errno of a failed write, or kListStopped when Ctrl-C came while a
// write waited on its reader.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            if (interruptRequested())
                return kListStopped;
            continue;
        }
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
        if (!bytes.empty() && interruptRequested())  // a short write: a signal came
            return kListStopped;
    }
    return 0;
}

// 0, the errno of a failed write, or kChangedWhileReadError when the list's
// keys (the file's mapping) lost pages: their zeros never go out.
int writeKeys(const DupsList& list, int fd, std::string_view bytes)
{
    return list.sourceDamaged() ? kChangedWhileReadError : writeAll(fd, bytes);
}

// Collects lines and writes them in big blocks.
class BlockWriter {
public:
    BlockWriter(const DupsList& list, int fd) : list_(list), fd_(fd) { buf_.reserve(kBlock + 4096); }

    std::string& buf() { return buf_; }
    void number(int64_t n, int width = 0) { appendNumber(buf_, n, width); }
    // After each line: writes when a block is full. 0, an errno, or -1 for Ctrl-C.
    int lineDone()
    {
        buf_ += '\n';
        if (buf_.size() < kBlock)
            return 0;
        if (interruptRequested())
            return kListStopped;
        return flush();
    }
    int flush()
    {
        const int error = writeKeys(list_, fd_, buf_);
        buf_.clear();
        return error;
    }

private:
    static constexpr size_t kBlock = size_t{4} << 20;
    const DupsList& list_;
    int fd_;
    std::string buf_;
};

// The list is written in batches of this many entries, two at a time on
// two cores: the keys lie all over the file's buffer, and formatting waits
// for them.
constexpr int64_t kBatch = 1 << 16;

// How many groups start among entries [begin, end).
int64_t groupsStarting(const DupsList& list, int64_t begin, int64_t end)
{
    int64_t n = 0;
    for (int64_t i = begin; i < end; ++i)
        n += i == 0 || list.group(i) != list.group(i - 1);
    return n;
}

// Entries [begin, end) as --list writes them, after out; groupNumber is
// the tsv number of the group before begin.
void formatEntries(const DupsList& list, ShownText& shown, ListForm form, int64_t begin, int64_t end,
                   int64_t groupNumber, std::string& out)
{
    std::string scratch;
    const bool sorted = list.sorted();
    const bool inMemory = list.keysInMemory();
    for (int64_t i = begin; i < end; ++i) {
        if (!sorted) {
            out += shown.entry(list, i);
        } else {
            // Fetch a few keys ahead.
            if (i + 8 < end && inMemory)
                __builtin_prefetch(list.key(i + 8).data());
            if (form == ListForm::Tsv) {
                if (i == 0 || list.group(i) != list.group(i - 1))
                    ++groupNumber;
                appendNumber(out, list.lineNumber(i));
                out += '\t';
                appendNumber(out, groupNumber);
                out += '\t';
            } else {
                out += '[';
                appendNumber(out, list.lineNumber(i), list.width());
                out += "]   ";
            }
            out += shown.key(list, i, scratch);
        }
        out += '\n';
    }
}

}  // namespace

int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd)
{
    const int64_t count = list.count();
    // Keys read from a file go through one cache: one thread then.
    const bool parallel = list.keysInMemory() && worthTwoCores(count, 2 * kBatch);
    ShownText second(shown);
    std::array<std::string, 2> text;
    int64_t groupNumber = 0;  // of the last entry written
    for (int64_t begin = 0; begin < count; begin += 2 * kBatch) {
        const int64_t mid = std::min(begin + kBatch, count), end = std::min(mid + kBatch, count);
        const int64_t atMid = form == ListForm::Tsv ? groupNumber + groupsStarting(list, begin, mid) : 0;
        onTwoCores(parallel, [&](int part) {
            formatEntries(list, part == 0 ? shown : second, form, part == 0 ? begin : mid, part == 0 ? mid : end,
                          part == 0 ? groupNumber : atMid, text[static_cast<size_t>(part)]);
            if (!parallel)
                formatEntries(list, shown, form, mid, end, atMid, text[1]);
        });
        if (form == ListForm::Tsv)
            groupNumber = atMid + groupsStarting(list, mid, end);
        for (std::string& t : text) {
            if (const int error = writeKeys(list, fd, t))
                return error;
            t.clear();
        }
        if (interruptRequested())
            return kListStopped;
    }
    return 0;
}

int writeCounts(const DupsList& list, ShownText& shown, int fd)
{
    std::string scratch;
    BlockWriter out(list, fd);
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
