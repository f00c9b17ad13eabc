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
#include "engine/command_line.h"
#include "engine/gnu_options.h"
#include "engine/settings_store.h"
#include "engine/program_state.h"

using namespace quillow;

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitNothingToDo = 1;
constexpr int kExitInput = 2;  // also bad usage
constexpr int kExitOutput = 3;
constexpr int kExitInterrupted = 130;

// --help: the usage lines and the notes around the option lines.
const char* const kHelpUsage =
    "Usage: quillow-cli -i FILE -o FILE -s RULE [OPTION]...\n"
    "   or: quillow-cli --list [OPTION]... FILE\n"
    "   or: quillow-cli /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]\n"
    "                   [/f N] [/x PATTERN] [/a N] [/p on|off]\n"
    "Find the lines that occur more than once in a text file and write a copy\n"
    "without the occurrences chosen by RULE.\n"
    "\n";
const char* const kHelpNotes =
    "\n"
    "Options not given are taken from the settings of the desktop program;\n"
    "quillow-cli never changes those settings. Any argument starting with '-'\n"
    "selects the options above; otherwise the arguments are read as the classic\n"
    "slash switches (where a path containing /i, /o, /s, /c, /r, /m, /f, /x, /a\n"
    "or /p is cut there: use the options above for absolute paths).\n"
    "Progress goes to standard error when it is a terminal; the final status\n"
    "line always does. Ctrl-C stops cleanly and removes a partly written file.\n"
    "\n"
    "Exit status:\n"
    "  0  the cleaned file was written (--list: duplicates were found)\n"
    "  1  nothing to do: no duplicate lines, nothing selected; no file written\n"
    "  2  bad usage, or the input could not be read\n"
    "  3  the output could not be written\n"
    "  130  stopped by Ctrl-C\n";

std::string helpText() { return kHelpUsage + gnuOptionsHelp(HelpProgram::Cli) + kHelpNotes; }

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

// Every duplicates-list entry, each followed by LF, bytes exactly as held.
int writeList(const ProgramState& state)
{
    const DupsList& list = *state.dupsList;
    const int64_t count = list.ListCount();
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
            buf += list.key(i);
        } else {
            buf += list.List(i);
        }
        buf += '\n';
        if (buf.size() >= kChunk) {
            if (interruptRequested())
                return kExitInterrupted;
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
    return kExitWritten;
}

// Why the slash switches do not ask for a run.
std::string slashRefusal(const ProgramState& state)
{
    if (state.cmdLineInputFile.empty() || state.cmdLineOutputFile.empty() || state.cmdLineSelectMode.empty())
        return "the switches /i, /o and /s are all required";
    if (state.cmdLineSelectMode != "1" && state.cmdLineSelectMode != "2" && state.cmdLineSelectMode != "3")
        return "/s must be 1, 2 or 3, not '" + state.cmdLineSelectMode + "'";
    return "cannot open '" + state.cmdLineInputFile + "': no such file";
}

int exitStatus(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Written:
    case RunOutcome::DuplicatesFound:
        return kExitWritten;
    case RunOutcome::NothingToDo:
        return kExitNothingToDo;
    case RunOutcome::InputError:
    case RunOutcome::NotRun:
        return kExitInput;
    case RunOutcome::OutputError:
        return kExitOutput;
    case RunOutcome::Stopped:
        return kExitInterrupted;
    }
    return kExitInput;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        usageError("no input, output or selection given");
        return kExitInput;
    }

    const bool gnu = usesGnuSyntax(args);
    GnuOptions options;
    if (gnu) {
        options = parseGnuOptions(args);
        switch (options.action) {
        case GnuOptions::Action::Error:
            usageError(options.error);
            return kExitInput;
        case GnuOptions::Action::Help:
            std::fputs(helpText().c_str(), stdout);
            return std::fflush(stdout) == 0 ? 0 : kExitOutput;
        case GnuOptions::Action::Version:
            std::printf("quillow-cli %s\n", QUILLOW_VERSION);
            return std::fflush(stdout) == 0 ? 0 : kExitOutput;
        case GnuOptions::Action::Run:
        case GnuOptions::Action::List:
            break;
        }
    }

    std::signal(SIGPIPE, SIG_IGN);
    installInterruptHandler();

    ProgramState state;
    LoadSettings(state, ScreenSize{});

    // The scan and the save each read the input, so standard input is kept
    // in a file; the output goes through a file the save can write and
    // replace like any other.
    TempFile stdinCopy, stdoutCopy;
    if (gnu) {
        if (options.inputIsStdin) {
            if (!stdinCopy.create("quillow-stdin")) {
                std::fprintf(stderr, "quillow-cli: cannot create a temporary file: %s\n", std::strerror(errno));
                return kExitInput;
            }
            switch (copyStream(STDIN_FILENO, stdinCopy.fd())) {
            case CopyResult::Done:
                break;
            case CopyResult::Interrupted:
                return kExitInterrupted;
            case CopyResult::ReadError:
                std::fprintf(stderr, "quillow-cli: cannot read standard input: %s\n", std::strerror(errno));
                return kExitInput;
            case CopyResult::WriteError:
                std::fprintf(stderr, "quillow-cli: cannot keep standard input in %s: %s\n",
                             stdinCopy.path().c_str(), std::strerror(errno));
                return kExitInput;
            }
            stdinCopy.closeFd();
            options.input = stdinCopy.path();
        }
        if (options.outputIsStdout) {
            if (!stdoutCopy.create("quillow-stdout")) {
                std::fprintf(stderr, "quillow-cli: cannot create a temporary file: %s\n", std::strerror(errno));
                return kExitOutput;
            }
            stdoutCopy.closeFd();
            options.output = stdoutCopy.path();
        }
        std::string refusal = applyGnuOptions(options, state);
        if (!refusal.empty()) {
            std::fprintf(stderr, "quillow-cli: %s\n", refusal.c_str());
            return kExitInput;
        }
    } else {
        ParseCommandLine(state, argumentText(args));
        if (state.cmdLineMode != -1) {
            usageError(slashRefusal(state));
            return kExitInput;
        }
    }

    const bool listOnly = gnu && options.action == GnuOptions::Action::List;
    CliHost host(state, ::isatty(STDERR_FILENO) == 1 && !options.quiet);
    RunOutcome outcome = RunCommandLine(state, host, listOnly);
    host.finish();
    if (outcome == RunOutcome::Stopped)
        return kExitInterrupted;

    if (listOnly && outcome == RunOutcome::DuplicatesFound)
        return writeList(state);

    if (outcome == RunOutcome::Written && options.outputIsStdout) {
        int fd = ::open(stdoutCopy.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "quillow-cli: cannot read %s: %s\n", stdoutCopy.path().c_str(), std::strerror(errno));
            return kExitOutput;
        }
        CopyResult copied = copyStream(fd, STDOUT_FILENO);
        ::close(fd);
        if (copied == CopyResult::Interrupted)
            return kExitInterrupted;
        if (copied != CopyResult::Done) {
            reportWriteError();
            return kExitOutput;
        }
    }
    return exitStatus(outcome);
}
