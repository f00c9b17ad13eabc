#include "engine/io/stream_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <string_view>

namespace quillow {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

// The descriptor a path of the /dev/fd or /proc/self/fd kind names, or -1.
int descriptorNamed(std::string_view path)
{
    if (path == "/dev/stdin")
        return STDIN_FILENO;
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    const std::string ownPid = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
                                    std::string_view("/proc/thread-self/fd/"), std::string_view(ownPid)}) {
        if (!path.starts_with(prefix))
            continue;
        const std::string_view digits = path.substr(prefix.size());
        int fd = -1;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (ec == std::errc() && end == digits.data() + digits.size() && fd >= 0)
            return fd;
    }
    return -1;
}

// The descriptor path leads to through its links (a link to /dev/stdout),
// or -1.
int descriptorBehind(std::string path)
{
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (const int fd = descriptorNamed(path); fd >= 0)
            return fd;
        char text[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), text, sizeof text);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof text)
            return -1;
        std::string target(text, static_cast<size_t>(n));
        if (target[0] != '/') {
            const size_t slash = path.find_last_of('/');
            target = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
        path = std::move(target);
    }
    return -1;
}

// A FIFO, a device or a socket: nothing a rename may replace.
bool streamNode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode));
}

}  // namespace

bool namesStream(const std::string& path)
{
    return !path.empty() && (descriptorBehind(path) >= 0 || streamNode(path));
}

std::optional<StreamTarget> openStreamTarget(const std::string& path, int& error)
{
    error = 0;
    if (path.empty())
        return std::nullopt;
    if (const int fd = descriptorBehind(path); fd >= 0) {
        if (::fcntl(fd, F_GETFD) < 0) {
            error = errno;
            return StreamTarget{};
        }
        return StreamTarget{fd, false};
    }
    if (!streamNode(path))
        return std::nullopt;
    // A FIFO nobody reads fails (ENXIO) rather than blocking for good;
    // once open, writes wait for the reader as usual.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = errno;
        if (fd >= 0)
            ::close(fd);
        return StreamTarget{};
    }
    return StreamTarget{fd, true};
}

}  // namespace quillow
