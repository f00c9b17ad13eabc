// quillow-cli: the unattended clean-up for scripts and servers. Needs no
// display, reads the settings store for options it is not given and never
// writes it, and says with its exit status whether it wrote the output.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "cli/run_guards.h"
#include "engine/command_line.h"
#include "engine/command_line_help.h"
#include "engine/pending_temp_files.h"
#include "engine/settings_store.h"
#include "engine/shown_text.h"
#include "engine/unattended_run.h"

using namespace quillow;

namespace {

void usageError(const std::string& message)
{
    std::fprintf(stderr, "quillow-cli: %s (see quillow-cli --help)\n", message.c_str());
}

// A file in $TMPDIR that is removed however main returns.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
        pending_.release();
    }
    bool create(const char* stem)
    {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
        if (ec)
            dir = "/tmp";
        std::string tmpl = (dir / (std::string(stem) + "-XXXXXX")).string();
        fd_ = ::mkstemp(tmpl.data());
        if (fd_ < 0)
            return false;
        path_ = tmpl;
        pending_ = PendingTempFile(path_);
        return true;
    }
    int fd() const { return fd_; }
    void closeFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
    PendingTempFile pending_;  // removed too when a second Ctrl-C ends the program
};

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

enum class CopyResult { Done, ReadError, WriteError, Interrupted };

// Copies in to out in big blocks, polling so that Ctrl-C also ends a wait on
// a terminal or a quiet pipe.
CopyResult copyStream(int in, int out)
{
    std::vector<char> buf(1 << 20);
    for (;;) {
        pollfd p{in, POLLIN, 0};
        int ready = ::poll(&p, 1, 200);
        if (interruptRequested())
            return CopyResult::Interrupted;
        if (ready < 0 && errno != EINTR)
            return CopyResult::ReadError;
        if (ready <= 0)
            continue;
        ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return CopyResult::ReadError;
        }
        if (n == 0)
            return CopyResult::Done;
        if (!writeAll(out, buf.data(), static_cast<size_t>(n)))
            return CopyResult::WriteError;
    }
}

void reportWriteError()
{
    if (errno != EPIPE)
        std::fprintf(stderr, "quillow-cli: cannot write to standard output: %s\n", std::strerror(errno));
}

// Every duplicates-list entry, each followed by LF, as UTF-8: the keys of a
// file read as UTF-8 exactly as held, others decoded.
int writeList(const ScanResult& result)
{
    const DupsList& list = *result.dups;
    ShownText shown(result.encoding.encoding);
    std::string scratch;
    const int64_t count = list.count();
    const bool sorted = list.sorted();
    const int width = list.width();
    constexpr size_t kChunk = size_t{4} << 20;
    std::string buf;
    buf.reserve(kChunk + 4096);
    auto flush = [&]() -> bool {
        bool ok = writeAll(STDOUT_FILENO, buf.data(), buf.size());
        buf.clear();
        return ok;
    };
    for (int64_t i = 0; i < count; ++i) {
        if (sorted) {
            // Keys lie all over the file's buffer: fetch a few entries ahead.
            if (i + 8 < count)
                __builtin_prefetch(list.key(i + 8).data());
            // The entry's text formatted in place, without a string per entry.
            char num[24];
            auto res = std::to_chars(num, num + sizeof num, list.lineNumber(i));
            size_t digits = static_cast<size_t>(res.ptr - num);
            buf += '[';
            if (static_cast<int>(digits) < width)
                buf.append(static_cast<size_t>(width) - digits, '0');
            buf.append(num, digits);
            buf += "]   ";
            buf += shown.key(list, i, scratch);
        } else {
            buf += shown.entry(list, i);
        }
        buf += '\n';
        if (buf.size() >= kChunk) {
            if (interruptRequested())
                return kExitStopped;
            if (!flush()) {
                reportWriteError();
                return kExitOutput;
            }
        }
    }
    if (!flush()) {
        reportWriteError();
        return kExitOutput;
    }
    return 0;
}

// Which encoding the file was read in, when it is not UTF-8.
void reportEncoding(const ScanResult& result)
{
    if (result.file.empty() || result.encoding.encoding.isUtf8())
        return;
    const char* how = "";
    switch (result.encoding.evidence) {
    case EncodingEvidence::Mark:
        how = " (byte-order mark)";
        break;
    case EncodingEvidence::NulPattern:
    case EncodingEvidence::Detector:
        how = " (detected)";
        break;
    case EncodingEvidence::ValidUtf8:
    case EncodingEvidence::Named:
        break;
    }
    std::fprintf(stderr, "quillow-cli: text encoding %s%s\n", result.encoding.encoding.displayName().c_str(), how);
}

}  // namespace

int main(int argc, char** argv)
{
    installOutOfMemoryHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine command = parseCommandLine(args, Program::Cli);
    warnBeforeRun(args, command);
    switch (command.action) {
    case CommandLine::Action::Error:
        if (command.errorIsUsage)
            usageError(command.error);
        else
            std::fprintf(stderr, "quillow-cli: %s\n", command.error.c_str());
        return kExitUsage;
    case CommandLine::Action::Help:
    case CommandLine::Action::Version: {
        const std::string text =
            command.action == CommandLine::Action::Help ? commandLineHelp(Program::Cli) : versionText(Program::Cli);
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : kExitOutput;
    }
    case CommandLine::Action::Interactive:  // never for quillow-cli
    case CommandLine::Action::Run:
    case CommandLine::Action::List:
        break;
    }

    std::signal(SIGPIPE, SIG_IGN);
    installInterruptHandler();

    Settings settings;
    loadSettings(settings, ScreenSize{});
    ScanResult result;
    RunFlags flags;

    // The scan and the save each read the input, so standard input is kept
    // in a file; the output goes through a file the save can write and
    // replace like any other.
    RunRequest& run = command.run;
    TempFile stdinCopy, stdoutCopy;
    if (run.inputIsStdin) {
        if (!stdinCopy.create("quillow-stdin")) {
            std::fprintf(stderr, "quillow-cli: cannot create a temporary file: %s\n", std::strerror(errno));
            return kExitUsage;
        }
        switch (copyStream(STDIN_FILENO, stdinCopy.fd())) {
        case CopyResult::Done:
            break;
        case CopyResult::Interrupted:
            return kExitStopped;
        case CopyResult::ReadError:
            std::fprintf(stderr, "quillow-cli: cannot read standard input: %s\n", std::strerror(errno));
            return kExitUsage;
        case CopyResult::WriteError:
            std::fprintf(stderr, "quillow-cli: cannot keep standard input in %s: %s\n", stdinCopy.path().c_str(),
                         std::strerror(errno));
            return kExitUsage;
        }
        stdinCopy.closeFd();
        run.input = stdinCopy.path();
    }
    if (run.outputIsStdout) {
        if (!stdoutCopy.create("quillow-stdout")) {
            std::fprintf(stderr, "quillow-cli: cannot create a temporary file: %s\n", std::strerror(errno));
            return kExitOutput;
        }
        stdoutCopy.closeFd();
        run.output = stdoutCopy.path();
    }

    CliHost host(flags, ::isatty(STDERR_FILENO) == 1 && !command.quiet);
    const RunOutcome outcome = runUnattended(settings, result, flags, host, run);
    host.finish();
    if (!command.quiet)
        reportEncoding(result);
    if (outcome == RunOutcome::Stopped)
        return kExitStopped;

    if (command.action == CommandLine::Action::List && outcome == RunOutcome::DuplicatesFound)
        return writeList(result);

    if (outcome == RunOutcome::Written && run.outputIsStdout) {
        int fd = ::open(stdoutCopy.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "quillow-cli: cannot read %s: %s\n", stdoutCopy.path().c_str(), std::strerror(errno));
            return kExitOutput;
        }
        CopyResult copied = copyStream(fd, STDOUT_FILENO);
        ::close(fd);
        if (copied == CopyResult::Interrupted)
            return kExitStopped;
        if (copied != CopyResult::Done) {
            reportWriteError();
            return kExitOutput;
        }
    }
    return exitStatus(outcome);
}
