// quillow-cli: the unattended clean-up for scripts and servers. Needs no
// display, never writes the settings store (and reads it only for slash
// switches or --use-settings), and says with its exit status whether it
// wrote the output. Its last line on stderr is the outcome: the status text
// once the output is complete (none with -q), or the error.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_front_end.h"
#include "cli/list_output.h"
#include "cli/run_guards.h"
#include "app/command_line/command_line.h"
#include "app/command_line/command_line_help.h"
#include "app/command_line/command_line_texts.h"
#include "app/settings/settings_store.h"
#include "engine/io/file_info.h"
#include "engine/text/shown_text.h"
#include "app/texts.h"
#include "app/translation.h"
#include "app/unattended_run.h"

using namespace quillow;

namespace {

constexpr const char* kProgram = "quillow-cli";

void say(const std::string& line)
{
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

int fail(int status, const std::string& message)
{
    say(text::errorLine(kProgram, message));
    return status;
}

// Standard output flushed and closed: the last chance to learn that the
// bytes did not arrive (a full disk, a closed pipe). 0 or errno; when an
// earlier stdio write failed, its errno must still be set.
int closeStandardOutput()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno ? errno : EIO;
        std::fclose(stdout);
        return error;
    }
    return std::fclose(stdout) == 0 ? 0 : (errno ? errno : EIO);
}

// --list or --count after the scan, then the scan's summary once the list
// is out.
int writeDuplicates(const CommandLine& command, const ScanResult& result, const CliFrontEnd& front)
{
    ShownText shown(result.encoding.encoding);
    const int error = command.action == CommandLine::Action::Count
                          ? writeCounts(*result.dups, shown, STDOUT_FILENO)
                          : writeList(*result.dups, shown, command.listForm, STDOUT_FILENO);
    // The keys came from the file: it must still be the one scanned.
    if (error == kChangedWhileReadError ||
        (error == 0 && !result.fromStream && identityOf(result.file) != result.identity))
        return fail(kExitUsage, text::failureStatus(text::kFileError, result.file, kChangedWhileReadError));
    if (error == kListStopped)
        return kExitStopped;
    if (const int closeError = error ? error : closeStandardOutput())
        return fail(kExitOutput, text::cannotWriteStandardOutput(std::strerror(closeError)));
    if (!command.quiet)
        say(front.lastStatus() + "\n");
    return 0;
}

// Which encoding the file was read in, when it is not UTF-8.
void reportEncoding(const ScanResult& result)
{
    if (!result.source || result.encoding.encoding.isUtf8())
        return;
    say(text::errorLine(kProgram, text::encodingNote(result.encoding.encoding.displayName(),
                                                      result.encoding.evidence == EncodingEvidence::Mark,
                                                      result.encoding.evidence == EncodingEvidence::NulPattern ||
                                                          result.encoding.evidence == EncodingEvidence::Detector)));
}

}  // namespace

int main(int argc, char** argv)
{
    // The language of every text, the messages about the arguments included.
    useLocaleLanguage();
    // A closed pipe is a write error like any other, reported and not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    installOutOfMemoryHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine command = parseCommandLine(args, Program::Cli);
    warnBeforeRun(args, command);
    switch (command.action) {
    case CommandLine::Action::Error:
        say(command.errorIsUsage ? text::usageErrorLine(kProgram, command.error)
                                 : text::errorLine(kProgram, command.error));
        return kExitUsage;
    case CommandLine::Action::Help:
    case CommandLine::Action::Version: {
        const std::string page =
            command.action == CommandLine::Action::Help ? commandLineHelp(Program::Cli) : versionText(Program::Cli);
        errno = 0;
        std::fputs(page.c_str(), stdout);
        if (const int error = closeStandardOutput())
            return fail(kExitOutput, text::cannotWriteStandardOutput(std::strerror(error)));
        return 0;
    }
    case CommandLine::Action::Interactive:  // never for quillow-cli
    case CommandLine::Action::Run:
    case CommandLine::Action::List:
    case CommandLine::Action::Count:
        break;
    }

    installInterruptHandler();

    Settings settings;  // the documented defaults
    if (command.useStoredSettings)
        loadSettings(settings, ScreenSize{});
    CliFrontEnd front(::isatty(STDERR_FILENO) == 1 && !command.quiet);
    Session session(settings, front);
    const RunOutcome outcome = runUnattended(session, command.run);
    front.finish();
    const ScanResult& result = session.result;
    if (!command.quiet)
        reportEncoding(result);

    switch (outcome) {
    case RunOutcome::DuplicatesFound:
        return writeDuplicates(command, result, front);
    case RunOutcome::Written:
    case RunOutcome::PassedThrough:
        if (command.run.outputIsStdout)
            if (const int error = closeStandardOutput())
                return fail(kExitOutput,
                            text::failureStatus(text::kSaveFailed, text::translated(text::kStandardOutput), error));
        // A stop that came once the output was complete is said, not obeyed.
        if (!command.quiet)
            say((interruptRequested() ? text::translated(text::kStoppedAfterWriting) : front.lastStatus()) + "\n");
        return exitStatus(outcome);
    case RunOutcome::NothingToDo:
        if (!command.quiet)
            say(front.lastStatus() + "\n");
        return exitStatus(outcome);
    case RunOutcome::WrittenUnflushed:  // the status names the file and the reason
    case RunOutcome::InputError:
    case RunOutcome::OutputError:  // the status names the file and the reason
        return fail(exitStatus(outcome), front.lastStatus());
    case RunOutcome::Stopped:
        if (!front.lastStatus().empty())
            say(front.lastStatus() + "\n");
        return kExitStopped;
    }
    return exitStatus(outcome);
}
