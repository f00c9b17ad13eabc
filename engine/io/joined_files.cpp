#include "engine/io/joined_files.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <thread>

namespace quillow {

struct JoinedFiles::State {
    std::vector<std::string> paths;
    int fd = -1;  // the writing end
    std::optional<Failure> failure;
    std::promise<void> done;
    std::shared_future<void> finished = done.get_future().share();
};

namespace {

// False when the reader went away.
bool sendAll(int fd, const char* data, size_t n)
{
    while (n > 0) {
        // No SIGPIPE: a reader that stopped ends the copy, not the program.
        const ssize_t sent = ::send(fd, data, n, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += sent;
        n -= static_cast<size_t>(sent);
    }
    return true;
}

void copyAll(JoinedFiles::State& state)
{
    std::vector<char> block(size_t{1} << 20);
    for (const std::string& path : state.paths) {
        int in = -1;
        do
            in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        while (in < 0 && errno == EINTR);
        if (in < 0) {
            state.failure = JoinedFiles::Failure{path, errno};
            return;
        }
        for (;;) {
            const ssize_t got = ::read(in, block.data(), block.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                state.failure = JoinedFiles::Failure{path, errno};
            if (got <= 0)
                break;
            if (!sendAll(state.fd, block.data(), static_cast<size_t>(got))) {
                ::close(in);
                return;
            }
        }
        ::close(in);
        if (state.failure)
            return;
    }
}

}  // namespace

JoinedFiles::JoinedFiles(std::vector<std::string> paths) : state_(std::make_shared<State>())
{
    state_->paths = std::move(paths);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        state_->failure = Failure{state_->paths.empty() ? std::string() : state_->paths.front(), errno};
        state_->done.set_value();
        return;
    }
    ::shutdown(ends[0], SHUT_WR);
    ::shutdown(ends[1], SHUT_RD);
    fd_ = ends[0];
    state_->fd = ends[1];
    // The copy never takes the signals that stop a run: they go to the
    // thread that waits on the reading end or on the output.
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stops, sig);
    ::pthread_sigmask(SIG_BLOCK, &stops, &before);
    std::thread([state = state_] {
        copyAll(*state);
        ::close(state->fd);  // the reader sees the end
        state->done.set_value();
    }).detach();
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

JoinedFiles::~JoinedFiles()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<JoinedFiles::Failure> JoinedFiles::failure()
{
    state_->finished.wait();
    return state_->failure;
}

}  // namespace quillow
