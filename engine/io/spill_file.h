#pragma once
// The temporary file of a scan that does not fit in memory: private to this
// run, in $TMPDIR (else /tmp), and without a name where the system allows
// (O_TMPFILE); elsewhere its name is removed the moment it is made. Either
// way nothing is left behind however the program ends, a signal included.
// Keys spilled there are grouped one partition at a time (spilled_scan.h).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/runtime/big_allocator.h"

namespace quillow {

// Why the temporary file failed: the system's error, the folder, and
// whether reading it back (not writing it) failed.
struct SpillError {
    int error;
    std::string folder;
    bool reading = false;
};

// $TMPDIR when it is set and not empty, else /tmp.
std::string temporaryFolder();

class SpillFile {
public:
    // Throws SpillError.
    SpillFile();
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // Appends bytes and returns where they start; throws SpillError (a
    // full disk).
    uint64_t append(std::string_view bytes);
    // Reads n bytes at offset; throws SpillError.
    void read(uint64_t offset, char* to, size_t n) const;
    uint64_t size() const { return size_; }
    // A name that opens the file while this object lives.
    std::string path() const;

private:
    std::string folder_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Records filed in partitions of a spill file: each partition's records
// gather in a buffer of its own, which becomes a chunk of the file when full.
// Full buffers are written by a second thread where one can be started,
// while the records of the next ones are put together (copying into the
// file's pages is much of the cost). A partition reads back chunk by chunk,
// its records in the order they were added; no record is split between
// chunks.
class SpilledPartitions {
public:
    SpilledPartitions(SpillFile& file, uint32_t count, size_t bufferBytes);
    ~SpilledPartitions();
    SpilledPartitions(const SpilledPartitions&) = delete;
    SpilledPartitions& operator=(const SpilledPartitions&) = delete;

    // Room for a record of size bytes at the end of the partition's buffer,
    // to be filled before the next call. Throws SpillError (a failed write).
    char* add(uint32_t partition, size_t size);
    // Writes what the buffers still hold and waits until all is written.
    void flush();
    uint32_t count() const { return static_cast<uint32_t>(buffers_.size()); }
    // The records added to a partition.
    size_t records(uint32_t partition) const { return records_[partition]; }
    // Every chunk of the partition in order, read into buffer.
    template <typename F>
    void forEachChunk(uint32_t partition, std::string& buffer, F&& onChunk) const
    {
        for (const Chunk& c : chunks_[partition]) {
            buffer.resize(c.size);
            file_.read(c.offset, buffer.data(), c.size);
            onChunk(std::string_view(buffer));
        }
    }

private:
    struct Chunk {
        uint64_t offset;
        size_t size;
    };
    struct Writer;
    // Hands the partition's buffer to be written as its next chunk.
    void write(uint32_t partition);

    SpillFile& file_;
    size_t bufferBytes_;
    // Not zeroed when they grow: every byte is written before it is read.
    std::vector<BigVector<char>> buffers_;
    std::vector<std::vector<Chunk>> chunks_;
    std::vector<size_t> records_;
    uint64_t planned_ = 0;  // the file's size once every chunk handed over is written
    std::unique_ptr<Writer> writer_;
};

}  // namespace quillow
