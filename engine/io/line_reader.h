#pragma once
// Reads a file line by line under the same rule as the scan (splitLines with
// the scan's code unit and line-end mode), without holding the file in
// memory. Reads in big blocks; a line longer than a block grows the buffer,
// and a CR at the end of one block followed by LF at the start of the next
// ends a single line.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/line_splitter.h"

namespace quillow {

class LineReader {
public:
    using ReadFn = ssize_t (*)(int fd, void* buf, size_t count);

    LineReader(CodeUnit unit, LineEndMode mode, size_t blockSize = size_t{1} << 20, ReadFn readFn = nullptr);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens path for reading when it is a regular file; false (error() says
    // why: the system's error or kNotRegularError) when it cannot.
    bool open(const std::string& path);
    // Reads from fd, which the reader then owns and closes.
    void attach(int fd);
    void close();

    // The next line without its end, and (when asked) the bytes of its end
    // (empty for a last line without one); valid until the next call. False
    // at the end of the file or on a read error (see failed()).
    bool next(std::string_view& line, std::string_view* end = nullptr);
    // Where the line next() gave last starts: its offset from where reading began.
    uint64_t lineOffset() const { return lineOffset_; }
    bool failed() const { return error_ != 0; }
    int error() const { return error_; }

    // Sees every byte read from the file, in order (e.g. to fingerprint it).
    std::function<void(std::string_view)> onRead;
    // Runs before the buffer is refilled, while the lines handed out are
    // still there (e.g. to write out what refers to them).
    std::function<void()> beforeFill;

private:
    struct Found {
        size_t begin, length, next;
    };
    bool fill();  // reads one more block after the buffered bytes

    CodeUnit unit_;
    LineEndMode mode_;
    size_t blockSize_;
    ReadFn read_;
    int fd_ = -1;
    std::vector<char> buf_;
    size_t rest_ = 0;  // start of the bytes no line has been reported from
    size_t end_ = 0;   // end of the buffered bytes
    std::vector<Found> found_;  // the lines of the buffer, handed out in order
    size_t foundCount_ = 0;     // the first ones of found_ that are lines
    size_t handedOut_ = 0;
    uint64_t base_ = 0;  // the offset of the buffer's first byte
    uint64_t lineOffset_ = 0;
    bool eof_ = false;
    int error_ = 0;
};

}  // namespace quillow
