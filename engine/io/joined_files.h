#pragma once
// Several files read as one text, one after another as cat joins them: a
// thread copies them into a socket, whose other end the scan reads as a
// stream (and spills like any stream that does not fit in memory). Any
// readable file serves: regular files, pipes, FIFOs, devices.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillow {

class JoinedFiles {
public:
    struct Failure {
        std::string file;
        int error = 0;  // the system's error number
    };

    explicit JoinedFiles(std::vector<std::string> paths);
    // Closes the reading end; a copy still waiting (on a FIFO without a
    // writer, say) is left to end by itself.
    ~JoinedFiles();
    JoinedFiles(const JoinedFiles&) = delete;
    JoinedFiles& operator=(const JoinedFiles&) = delete;

    // The end to read the joined text from; -1 when none could be made
    // (failure() says why).
    int fd() const { return fd_; }
    // Once fd was read to its end: the file that could not be read, if any
    // (the text then ends where that file would have started).
    std::optional<Failure> failure();

    struct State;  // shared with the copying thread

private:
    std::shared_ptr<State> state_;
    int fd_ = -1;
};

}  // namespace quillow
