#pragma once
// Reads a file line by line under the same rule as forEachLine (a CR file:
// CR or CR LF ends a line, a lone LF stays inside; a Unix file: LF ends a
// line), without holding the file in memory. Reads in big blocks; a line
// longer than a block grows the buffer, and a CR at the end of one block
// followed by LF at the start of the next ends a single line.
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/source_lines.h"

namespace quillow {

class LineReader {
public:
    using ReadFn = ssize_t (*)(int fd, void* buf, size_t count);

    explicit LineReader(LineEnds ends, size_t blockSize = size_t{1} << 20, ReadFn readFn = nullptr);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens path for reading when it is a regular file; false (error() says
    // why: the system's error or kNotRegularError) when it cannot.
    bool open(const std::string& path);
    // Reads from fd, which the reader then owns and closes.
    void attach(int fd);
    void close();

    // The next line without its terminator, valid until the next call.
    // False at the end of the file or on a read error (see failed()).
    bool next(std::string_view& line);
    bool failed() const { return error_ != 0; }
    int error() const { return error_; }

    // Sees every byte read from the file, in order (e.g. to fingerprint it).
    std::function<void(std::string_view)> onRead;

private:
    bool fill();  // reads one more block after the buffered bytes

    LineEnds ends_;
    size_t blockSize_;
    ReadFn read_;
    int fd_ = -1;
    std::vector<char> buf_;
    size_t begin_ = 0;    // start of the unread bytes
    size_t end_ = 0;      // end of the buffered bytes
    size_t scanned_ = 0;  // bytes after begin_ already known to hold no terminator
    bool eof_ = false;
    bool skipLF_ = false;  // the last line ended at a CR that closed a block
    int error_ = 0;
};

}  // namespace quillow
