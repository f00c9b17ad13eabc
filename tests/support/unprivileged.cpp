#include "support/unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillow::testing {

std::optional<std::string> unprivileged(const std::function<std::string()>& fn)
{
    if (::geteuid() != 0)
        return fn();
    int p[2];
    if (::pipe(p) != 0)
        return std::nullopt;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(p[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(77);
        std::string r = fn();
        ssize_t ignored = ::write(p[1], r.data(), r.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(p[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(p[0], buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    ::close(p[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

}  // namespace quillow::testing
