#include "engine/io/spill_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/io/file_ops.h"
#include "engine/io/pending_temp_files.h"

namespace quillow {

std::string temporaryFolder()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? std::string(dir) : std::string("/tmp");
}

SpillFile::SpillFile() : folder_(temporaryFolder())
{
    // O_EXCL: the file can never be given a name.
    fd_ = fileOps().open(folder_.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        return;
    // A file system without unnamed files: a name of our own, gone at once.
    // Until it is gone it is registered, so a second signal removes it.
    std::string name = folder_ + "/quillow-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw SpillError{errno, folder_};
    PendingTempFile pending(name);
    if (fileOps().unlink(name.c_str()) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        throw SpillError{error, folder_};
    }
}

SpillFile::~SpillFile()
{
    if (fd_ < 0)
        return;
    // Closing the file frees its pages in the page cache, about a tenth of a
    // second for each gigabyte: a big one is closed on a thread of its own,
    // so that the work that follows need not wait.
    constexpr uint64_t kCloseAsideFrom = uint64_t{64} << 20;
    if (size_ >= kCloseAsideFrom) {
        try {
            std::thread([fd = fd_] { ::close(fd); }).detach();
            return;
        } catch (const std::system_error&) {
        }
    }
    ::close(fd_);
}

std::string SpillFile::path() const
{
    return "/proc/self/fd/" + std::to_string(fd_);
}

uint64_t SpillFile::append(std::string_view bytes)
{
    // Written a quarter of a megabyte at a time: a bigger write asks the page
    // cache for bigger folios, and where memory is fragmented finding them
    // cost up to ten times the copy itself.
    constexpr size_t kMostPerWrite = size_t{256} << 10;
    const uint64_t at = size_;
    while (!bytes.empty()) {
        const ssize_t n = fileOps().write(fd_, bytes.data(), std::min(bytes.size(), kMostPerWrite));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw SpillError{n < 0 && errno ? errno : ENOSPC, folder_};
        bytes.remove_prefix(static_cast<size_t>(n));
        size_ += static_cast<uint64_t>(n);
    }
    return at;
}

void SpillFile::read(uint64_t offset, char* to, size_t n) const
{
    size_t have = 0;
    while (have < n) {
        const ssize_t got = ::pread(fd_, to + have, n - have, static_cast<off_t>(offset + have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw SpillError{got < 0 ? errno : EIO, folder_, true};
        have += static_cast<size_t>(got);
    }
}

// Writes chunks in the order they were handed over, on a thread of its own
// (or at once, where no thread can be started); keeps spare buffers, so the
// partitions' buffers are allocated once.
struct SpilledPartitions::Writer {
    explicit Writer(SpillFile& file, size_t inFlight) : file(file), inFlight(inFlight)
    {
        try {
            thread = std::jthread([this](std::stop_token stop) { run(stop); });
        } catch (const std::system_error&) {
        }
    }
    ~Writer()
    {
        if (thread.joinable()) {
            {
                const std::lock_guard lock(mutex);
                thread.request_stop();
            }
            changed.notify_all();
        }
    }

    // Queues bytes (taking them; buffer gets a spare in return); waits while
    // too much is waiting. Rethrows a failed write.
    void push(BigVector<char>& buffer)
    {
        std::unique_lock lock(mutex);
        rethrow();
        if (!thread.joinable()) {
            lock.unlock();
            file.append(std::string_view(buffer.data(), buffer.size()));
            buffer.clear();
            return;
        }
        changed.wait(lock, [&] { return waiting <= inFlight || failure; });
        rethrow();
        waiting += buffer.size();
        queue.push_back(std::move(buffer));
        buffer = spares.empty() ? BigVector<char>() : std::move(spares.back());
        if (!spares.empty())
            spares.pop_back();
        buffer.clear();
        changed.notify_all();
    }

    // Waits until everything queued is written; rethrows a failed write.
    void drain()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return (queue.empty() && !busy) || failure; });
        rethrow();
        spares.clear();
    }

    void rethrow()
    {
        if (failure)
            std::rethrow_exception(failure);
    }

    void run(std::stop_token stop)
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return !queue.empty() || stop.stop_requested(); });
            if (stop.stop_requested())  // the partitions are gone: what waits is no use
                return;
            BigVector<char> bytes = std::move(queue.front());
            queue.pop_front();
            busy = true;
            lock.unlock();
            std::exception_ptr failed;
            try {
                file.append(std::string_view(bytes.data(), bytes.size()));
            } catch (...) {
                failed = std::current_exception();
            }
            lock.lock();
            busy = false;
            waiting -= bytes.size();
            if (failed && !failure)
                failure = failed;
            if (spares.size() < 8)
                spares.push_back(std::move(bytes));
            changed.notify_all();
        }
    }

    SpillFile& file;
    const size_t inFlight;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<BigVector<char>> queue;
    std::vector<BigVector<char>> spares;
    size_t waiting = 0;
    bool busy = false;
    std::exception_ptr failure;
    std::jthread thread;  // last: stops first
};

SpilledPartitions::SpilledPartitions(SpillFile& file, uint32_t count, size_t bufferBytes)
    : file_(file), bufferBytes_(bufferBytes), buffers_(count), chunks_(count), records_(count, 0),
      planned_(file.size()),
      // A few buffers' worth waits to be written, at least a few megabytes.
      writer_(std::make_unique<Writer>(file, std::max(bufferBytes * 4, size_t{4} << 20)))
{
}

SpilledPartitions::~SpilledPartitions() = default;

char* SpilledPartitions::add(uint32_t partition, size_t size)
{
    ++records_[partition];
    BigVector<char>& buffer = buffers_[partition];
    if (buffer.size() + size > bufferBytes_ && !buffer.empty())
        write(partition);
    if (buffer.capacity() < std::max(bufferBytes_, size))
        buffer.reserve(std::max(bufferBytes_, size));  // a record bigger than a buffer is a chunk of its own
    const size_t at = buffer.size();
    buffer.resize(at + size);
    // The partition's next record goes a little further on, some hundreds
    // of records from now: its place is fetched meanwhile, not when written.
    if (at + size + 64 <= buffer.capacity())
        __builtin_prefetch(buffer.data() + at + size + 64, 1);
    return buffer.data() + at;
}

void SpilledPartitions::flush()
{
    for (uint32_t p = 0; p < count(); ++p) {
        if (!buffers_[p].empty())
            write(p);
        BigVector<char>().swap(buffers_[p]);
    }
    writer_->drain();
}

void SpilledPartitions::write(uint32_t partition)
{
    BigVector<char>& buffer = buffers_[partition];
    chunks_[partition].push_back(Chunk{planned_, buffer.size()});
    planned_ += buffer.size();
    writer_->push(buffer);
}

}  // namespace quillow
