#include "cli/early_lines.h"

#include <absl/container/flat_hash_set.h>
#include <absl/strings/string_view.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/cli_front_end.h"
#include "engine/text/text_encoding.h"

// Why the bytes written early are exactly the start of what the run writes.
// They are written only while every byte read so far is printable ASCII, tab
// or LF (no byte of 0x80 or more, no NUL, CR or double quote), and only once
// the first 64 KiB are such bytes. Then, whatever comes later:
// - the encoding has no mark, and UTF-16 is looked for in the first 64 KiB
//   only; the rest can make it UTF-8 or a legacy encoding, and every legacy
//   encoding the run may choose or accept is stateless and reads these bytes
//   as ASCII, one character each;
// - each LF here ends a line in either line-end mode (CR mode ends lines at a
//   lone LF outside quotes, counted from the line's start), and the line is
//   written with that LF;
// - with the default options a line's key is the whole line, equal to
//   another's exactly when the bytes are; a line of nothing but spaces (or
//   none) is never a duplicate and always written.
// So the run writes each complete line here that did not occur before, as it
// stands and in order, ahead of everything later. It writes nothing before it
// has read all its input, so the count of bytes written early is settled
// before its first byte comes.

namespace quillow {

namespace {

constexpr size_t kBlock = size_t{1} << 18;
// The lines remembered, with a share for the table's own memory.
constexpr size_t kKeyBudget = size_t{64} << 20;
constexpr size_t kPerKey = 48;

// Bytes that cannot change the encoding, the line ends or the quotes of the whole input.
bool plain(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u == '\t' || u == '\n' || (u >= 0x20 && u < 0x7F && u != '"');
}

bool isPipeOrSocket(int fd, bool* pipe = nullptr)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    if (pipe)
        *pipe = S_ISFIFO(st.st_mode);
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

// Keep the first of each line, compared exactly, from standard input to
// standard output, nothing else asked for.
bool isDefaultFilter(const CommandLine& command)
{
    const RunRequest& r = command.run;
    auto unset = [](const auto&... o) { return (!o.has_value() && ...); };
    return command.action == CommandLine::Action::Run && command.gnuSyntax && r.lineTool && !r.fromStoredSettings &&
           r.written == Written::Cleaned && !r.keepLast && !r.onlyRepeated && r.inputIsStdin && r.outputIsStdout &&
           !r.inPlace && r.filesFrom.empty() && r.inputs.empty() &&
           unset(r.select, r.caseSensitive, r.trimLines, r.saveEmptyLines, r.saveApplyFilter, r.compatForms,
                 r.zeroTerminated, r.startPos, r.filterMatch, r.keyField, r.skipFields, r.checkChars,
                 r.fieldSeparator, r.filterPattern, r.textEncoding, r.maxMemory);
}

// 0 once all n bytes are written, else the errno of the failed write.
int writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return w < 0 && errno ? errno : EIO;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return 0;
}

class Pass {
public:
    Pass(int in, int out, bool outIsPipe, int runIn, int runOut, int done, int doneWait, EarlyLinesEnds ends)
        : in_(in), out_(out), outIsPipe_(outIsPipe), runIn_(runIn), runOut_(runOut), done_(done),
          doneWait_(doneWait), ends_(ends)
    {
    }

    // Reads the input to its end, then passes the run's output on.
    void run()
    {
        block_.resize(kBlock);
        passInput();
        passOutput();
    }

    // An interrupt may come just before the wait starts: the flag is
    // looked at every 200 ms too.
    int waitUntilDone() const
    {
        for (;;) {
            pollfd p{doneWait_, POLLIN, 0};
            const int ready = ::poll(&p, 1, 200);
            if (ready > 0 || (ready < 0 && errno != EINTR))
                return outError_.load();
            if (interruptRequested())
                return -1;
        }
    }

private:
    void passInput()
    {
        for (;;) {
            waitForInput(in_);
            const ssize_t got = ::read(in_, block_.data(), block_.size());
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got < 0)
                ends_.inputFailed(errno);
            if (got == 0)
                break;
            const std::string_view bytes(block_.data(), static_cast<size_t>(got));
            if (emitting_)
                look(bytes);
            if (writeAll(runIn_, bytes.data(), bytes.size()) != 0)
                return;  // the run no longer reads: it is ending
        }
        stopEmitting();
        ::close(in_);
        ::close(runIn_);  // the run's end of input
    }

    void passOutput()
    {
        uint64_t drop = written_;
        for (;;) {
            waitForInput(runOut_);
            const ssize_t got = ::read(runOut_, block_.data(), block_.size());
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0)
                break;
            const auto skip = static_cast<size_t>(std::min<uint64_t>(drop, static_cast<uint64_t>(got)));
            drop -= skip;
            // After a failure the run is let finish; main reports it.
            if (outError_.load() == 0)
                outError_.store(writeOut(block_.data() + skip, static_cast<size_t>(got) - skip));
        }
        if (::close(out_) != 0 && errno != EINTR && outError_.load() == 0)
            outError_.store(errno);
        ::close(done_);
    }

    // Waits until fd can be read. Once bytes went out early the run's output
    // is not empty, so a reader of a pipe that went away ends it now.
    void waitForInput(int fd)
    {
        for (;;) {
            const bool watch = outIsPipe_ && written_ > 0;
            pollfd p[2] = {{fd, POLLIN, 0}, {watch ? out_ : -1, 0, 0}};
            if (::poll(p, 2, -1) < 0 && errno != EINTR)
                return;  // the read says what is wrong
            if (p[1].revents & POLLERR)
                ends_.closedPipe();
            if (p[0].revents)
                return;
        }
    }

    // As the writer of the run writes to standard output.
    int writeOut(const char* p, size_t n)
    {
        const int error = writeAll(out_, p, n);
        if (error == EPIPE)
            ends_.closedPipe();
        return error;
    }

    // The complete lines of the plain start of bytes; they go out once the
    // first kEncodingStart bytes are known to be plain.
    void look(std::string_view bytes)
    {
        const auto stop = std::find_if_not(bytes.begin(), bytes.end(), plain);
        const auto plainPart = static_cast<size_t>(stop - bytes.begin());
        plainBytes_ += plainPart;
        std::string_view rest = bytes.substr(0, plainPart);
        while (emitting_ && !rest.empty()) {
            const size_t lf = rest.find('\n');
            if (lf == std::string_view::npos) {
                line_.append(rest);
                if (line_.size() > budget_)
                    emitting_ = false;
                break;
            }
            if (line_.empty()) {
                take(rest.substr(0, lf));
            } else {
                line_.append(rest.substr(0, lf));
                take(line_);
                line_.clear();
            }
            rest.remove_prefix(lf + 1);
        }
        if (plainPart < bytes.size())
            emitting_ = false;
        if (plainBytes_ >= kEncodingStart && !flush())
            emitting_ = false;
        if (!emitting_)
            stopEmitting();
    }

    void take(std::string_view text)
    {
        const bool blank = text.find_first_not_of(' ') == std::string_view::npos;
        if (!blank) {
            if (seen_.contains(absl::string_view(text.data(), text.size())))
                return;
            if (budget_ < text.size() + kPerKey) {
                emitting_ = false;
                return;
            }
            budget_ -= text.size() + kPerKey;
            seen_.emplace(text);
        }
        ready_.append(text);
        ready_.push_back('\n');
    }

    // Writes what is ready without waiting (false when it could not): a
    // reader that is not reading now gets the rest from the run. Into a
    // pipe, PIPE_BUF bytes never wait once it has room.
    bool flush()
    {
        const bool kept = writeEarly(ready_);
        ready_.clear();
        return kept;
    }

    bool writeEarly(std::string_view left)
    {
        while (!left.empty()) {
            pollfd p{out_, POLLOUT, 0};
            if (::poll(&p, 1, 0) != 1 || !(p.revents & (POLLOUT | POLLERR)))
                return false;
            const ssize_t n = outIsPipe_ ? ::write(out_, left.data(), std::min<size_t>(left.size(), PIPE_BUF))
                                         : ::send(out_, left.data(), left.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EPIPE)
                ends_.closedPipe();
            if (n <= 0) {
                if (n < 0 && errno != EAGAIN)
                    outError_.store(errno);
                return false;
            }
            left.remove_prefix(static_cast<size_t>(n));
            written_ += static_cast<uint64_t>(n);
        }
        return true;
    }

    void stopEmitting()
    {
        emitting_ = false;
        absl::flat_hash_set<std::string>().swap(seen_);
        std::string().swap(ready_);
        std::string().swap(line_);
    }

    const int in_, out_;
    const bool outIsPipe_;
    const int runIn_, runOut_;
    const int done_, doneWait_;
    const EarlyLinesEnds ends_;
    std::vector<char> block_;
    bool emitting_ = true;
    uint64_t plainBytes_ = 0;
    uint64_t written_ = 0;  // bytes written early: the run's first bytes
    size_t budget_ = kKeyBudget;
    absl::flat_hash_set<std::string> seen_;
    std::string line_;   // the start of a line not complete yet
    std::string ready_;  // lines to write
    std::atomic<int> outError_{0};
};

// Lives until the process ends: its thread may be writing until then.
Pass* g_pass = nullptr;

void closeAll(std::initializer_list<int> fds)
{
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
}

}  // namespace

bool startEarlyLines(const CommandLine& command, EarlyLinesEnds ends)
{
    bool outIsPipe = false;
    if (!isDefaultFilter(command) || !isPipeOrSocket(STDIN_FILENO) || !isPipeOrSocket(STDOUT_FILENO, &outIsPipe))
        return false;
    const int in = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    int input[2] = {-1, -1}, output[2] = {-1, -1}, done[2] = {-1, -1};
    if (in < 0 || out < 0 || ::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0 ||
        ::pipe2(done, O_CLOEXEC) != 0) {
        closeAll({in, out, input[0], input[1], output[0], output[1], done[0], done[1]});
        return false;
    }
#ifdef F_SETPIPE_SZ
    // Fewer wake-ups, as the run's own read of a pipe asks for; the system may refuse.
    ::fcntl(in, F_SETPIPE_SZ, 1 << 20);
    ::fcntl(output[0], F_SETPIPE_SZ, 1 << 20);
#endif
    if (::dup2(input[0], STDIN_FILENO) < 0 || ::dup2(output[1], STDOUT_FILENO) < 0) {
        ::dup2(in, STDIN_FILENO);
        closeAll({in, out, input[0], input[1], output[0], output[1], done[0], done[1]});
        return false;
    }
    closeAll({input[0], output[1]});
    auto* pass = new Pass(in, out, outIsPipe, input[1], output[0], done[1], done[0], ends);
    // Interrupts go to the main thread, whose reads and writes they end.
    sigset_t stops, old;
    sigemptyset(&stops);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stops, sig);
    pthread_sigmask(SIG_BLOCK, &stops, &old);
    bool started = true;
    try {
        std::thread([pass] { pass->run(); }).detach();
    } catch (const std::system_error&) {
        started = false;
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (!started) {
        delete pass;
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        closeAll({in, out, input[1], output[0], done[0], done[1]});
        return false;
    }
    g_pass = pass;
    return true;
}

int finishEarlyLines() { return g_pass ? g_pass->waitUntilDone() : 0; }

}  // namespace quillow
