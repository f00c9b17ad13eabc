#pragma once
// Reads a file line by line under the same rule as the scan (splitLines with
// the scan's code unit and line-end mode), without holding the file in
// memory. Reads in big blocks; a line longer than a block grows the buffer,
// and a CR at the end of one block followed by LF at the start of the next
// ends a single line. Reading ahead, a second thread reads and splits the
// next block while the lines of this one are handed out.
#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
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

    // Reads ahead on a second thread when the file holds a few blocks, there
    // is a second core and a thread can be started. Set before open() or
    // attach().
    void setReadAhead(bool on) { readAhead_ = on; }
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

    // Sees every byte read from the file, in order (e.g. to fingerprint it);
    // reading ahead, on the reading thread. It has seen the last bytes once
    // next() has said false.
    std::function<void(std::string_view)> onRead;
    // Runs before the lines handed out are let go, while they are still
    // there (e.g. to write out what refers to them).
    std::function<void()> beforeFill;

private:
    struct Found {
        size_t begin, length, next;
    };
    // The bytes read at once and the lines found in them.
    struct Block {
        std::vector<char> buf;
        size_t end = 0;   // the bytes held
        size_t rest = 0;  // the start of the bytes no line has been reported from
        uint64_t base = 0;  // the offset of buf[0]
        std::vector<Found> found;
        size_t count = 0;  // the first ones of found that are lines
        bool last = false;  // nothing follows: the end of the file, or error
        int error = 0;
    };

    // Fills the block after previous (or the first one): the bytes previous
    // did not report from, then one read of a block or more; splits it.
    void produce(const Block* previous, Block& into);
    // The thread reading ahead: produces the blocks in turn into the two
    // buffers, each once the one before it has been let go.
    void readAhead();
    // Starts the reading thread where reading ahead is asked for and pays.
    void startReadingAhead();
    // Lets the current block go and takes the next one; false when there is none.
    bool advance();
    void stopReadingAhead();

    CodeUnit unit_;
    LineEndMode mode_;
    size_t blockSize_;
    ReadFn read_;
    int fd_ = -1;
    bool readAhead_ = false;
    Block blocks_[2];  // reading ahead, block n is in blocks_[n % 2]; else only the first is used
    const Block* current_ = nullptr;  // the block next() hands lines from
    uint64_t taken_ = 0;  // blocks taken by next()
    size_t handedOut_ = 0;
    uint64_t lineOffset_ = 0;
    bool done_ = false;
    int error_ = 0;

    // Shared with the reading thread.
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t produced_ = 0;  // blocks filled
    uint64_t released_ = 0;  // blocks let go by next()
    bool stopping_ = false;
    std::exception_ptr failure_;  // what the reading thread threw
    std::thread ahead_;
};

}  // namespace quillow
