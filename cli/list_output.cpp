#include "cli/list_output.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "cli/cli_front_end.h"
#include "engine/io/file_info.h"
#include "engine/io/gathered_bytes.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// The decimal text of n, zero-padded to width, after out.
void appendNumber(GatheredBytes& out, int64_t n, int width = 0)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    const auto count = static_cast<int>(end - digits);
    const int padding = std::max(0, width - count);
    char* at = out.extend(static_cast<size_t>(padding + count));
    std::fill_n(at, padding, '0');
    std::memcpy(at + padding, digits, static_cast<size_t>(count));
}

// 0, the errno of a failed write, -1 when a signal asked to stop, or
// kChangedWhileReadError when the keys' file lost pages of its mapping:
// their zeros never go out.
int writeAll(const DupsList& list, int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        if (list.sourceDamaged())
            return kChangedWhileReadError;
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (interruptRequested())
            return -1;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

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
                   int64_t groupNumber, std::string_view source, GatheredBytes& out)
{
    std::string scratch;
    const bool sorted = list.sorted();
    const bool inMemory = list.keysInMemory();
    for (int64_t i = begin; i < end; ++i) {
        if (!sorted) {
            out.append(shown.entry(list, i));
        } else {
            // Fetch a few keys ahead: what points to them, then their bytes.
            if (i + 32 < end && inMemory)
                list.prefetchKey(i + 32);
            if (i + 16 < end && inMemory)
                __builtin_prefetch(list.key(i + 16).data());
            if (form == ListForm::Tsv) {
                if (i == 0 || list.group(i) != list.group(i - 1))
                    ++groupNumber;
                appendNumber(out, list.lineNumber(i));
                out.push_back('\t');
                appendNumber(out, groupNumber);
                out.push_back('\t');
            } else {
                out.push_back('[');
                appendNumber(out, list.lineNumber(i), list.width());
                out.append("]   ");
            }
            const std::string_view key = shown.key(list, i, scratch);
            out.append(key.data(), key.size(), source);
        }
        out.push_back('\n');
    }
}

}  // namespace

int writeList(const DupsList& list, ShownText& shown, ListForm form, int fd,
              const std::function<void(int64_t done, int64_t total)>& progress)
{
    const int64_t count = list.count();
    // Keys read from a file go through one cache: one thread then.
    const bool parallel = list.keysInMemory() && worthTwoCores(count, 2 * kBatch);
    ShownText second(shown);
    std::array<GatheredBytes, 2> text;
    // Keys in the file's buffer are copied from there a fixed size at a time.
    const std::string_view source = list.keysInMemory() ? list.sourceBytes() : std::string_view();
    int64_t groupNumber = 0;  // of the last entry written
    for (int64_t begin = 0; begin < count; begin += 2 * kBatch) {
        const int64_t mid = std::min(begin + kBatch, count), end = std::min(mid + kBatch, count);
        const int64_t atMid = form == ListForm::Tsv ? groupNumber + groupsStarting(list, begin, mid) : 0;
        onTwoCores(parallel, [&](int part) {
            formatEntries(list, part == 0 ? shown : second, form, part == 0 ? begin : mid, part == 0 ? mid : end,
                          part == 0 ? groupNumber : atMid, source, text[static_cast<size_t>(part)]);
            if (!parallel)
                formatEntries(list, shown, form, mid, end, atMid, source, text[1]);
        });
        if (form == ListForm::Tsv)
            groupNumber = atMid + groupsStarting(list, mid, end);
        for (GatheredBytes& t : text) {
            if (const int error = writeAll(list, fd, t.view()))
                return error;
            t.clear();
        }
        if (interruptRequested())
            return -1;
        if (progress)
            progress(end, count);
    }
    return 0;
}

}  // namespace quillow
