// quillow-cli: the line tool for scripts and servers. Needs no display,
// never writes the settings store (and reads it only for slash switches or
// --use-settings). GNU-style runs behave as uniq and sort do: silent on
// success, "quillow-cli: FILE: reason" on failure. Slash switches end with
// the status text on stderr.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line/command_line.h"
#include "app/command_line/command_line_help.h"
#include "app/command_line/command_line_texts.h"
#include "app/settings/settings_store.h"
#include "app/texts.h"
#include "app/translation.h"
#include "app/unattended_run.h"
#include "cli/cli_front_end.h"
#include "cli/early_lines.h"
#include "cli/list_output.h"
#include "cli/run_guards.h"
#include "engine/io/file_info.h"
#include "engine/text/shown_text.h"

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

// The reader of standard output went away: the run ends as a pipeline
// expects, by SIGPIPE, with nothing said.
[[noreturn]] void endByClosedPipe()
{
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE);
}

int interrupted() { return fail(kExitStopped, text::translated(text::kInterrupted)); }

// Reading standard input failed while the early lines were read: the run
// ends as its own read would have ended it.
[[noreturn]] void endByInputError(int error)
{
    std::_Exit(interruptRequested() ? interrupted()
                                    : fail(exitStatus(RunOutcome::InputError),
                                           text::failureDetail(text::translated(text::kStandardInput), error)));
}

// A failure of standard output: a closed pipe ends quietly, others are told.
int standardOutputFailed(int error)
{
    if (error == EPIPE)
        endByClosedPipe();
    return fail(kExitOutput, text::failureDetail(text::translated(text::kStandardOutput), error));
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

// -v: what the scan found, once the output is complete.
void reportSummary(const ScanResult& result)
{
    reportEncoding(result);
    const int64_t entries = result.dups ? result.dups->count() : 0;
    say((entries > 0 ? text::scanSummary(result.lineCount, entries, result.groupCount)
                     : text::translated(text::kNoDuplicates)) +
        "\n");
}

// "FILE: reason", or the reason alone when it names its own source.
std::string failureLine(const RunFailure& failure)
{
    return failure.file.empty() ? failure.reason : failure.file + ": " + failure.reason;
}

// A GNU-style run: uniq's ways.
int runLineTool(const CommandLine& command, Settings& settings)
{
    const bool early = startEarlyLines(command, EarlyLinesEnds{endByClosedPipe, endByInputError});
    CliFrontEnd front(command.verbose && ::isatty(STDERR_FILENO) == 1);
    Session session(settings, front);
    RunFailure failure;
    const RunOutcome outcome = runUnattended(session, command.run, &failure);
    if (outcome != RunOutcome::DuplicatesFound)
        front.finish();
    const ScanResult& result = session.result;
    switch (outcome) {
    case RunOutcome::Stopped:
        return interrupted();
    case RunOutcome::WrittenUnflushed:  // the output is in place: said, not an interruption
        return fail(exitStatus(outcome), failureLine(failure));
    case RunOutcome::InputError:
    case RunOutcome::OutputError:
        // Ctrl-C in a pipeline ends the reader too.
        if (interruptRequested())
            return interrupted();
        if (outcome == RunOutcome::OutputError && command.run.outputIsStdout && failure.error == EPIPE)
            endByClosedPipe();
        return fail(exitStatus(outcome), failureLine(failure));
    case RunOutcome::DuplicatesFound: {
        ShownText shown(result.encoding.encoding);
        const int error = writeList(*result.dups, shown, command.run.listForm, STDOUT_FILENO,
                                    [&](int64_t done, int64_t total) {
                                        front.showProgress(text::progressText(text::kWritingList, done, total));
                                    });
        front.finish();
        // The keys came from the file: it must still be the one scanned.
        if (error == kChangedWhileReadError ||
            (error == 0 && !result.fromStream && identityOf(result.file) != result.identity))
            return fail(kExitUsage, text::failureDetail(result.file, kChangedWhileReadError));
        if (error)
            return error < 0 ? interrupted() : standardOutputFailed(error);
        break;
    }
    case RunOutcome::NothingToDo:  // an empty list
    case RunOutcome::Written:
        break;
    }
    if (const int error = closeStandardOutput())
        return standardOutputFailed(error);
    if (early)
        if (const int error = finishEarlyLines())
            return error < 0 ? interrupted() : standardOutputFailed(error);
    // A stop that came once the output was complete is said, not obeyed.
    if (interruptRequested())
        say(text::errorLine(kProgram, text::translated(text::kStoppedAfterWriting)));
    if (command.verbose)
        reportSummary(result);
    return 0;
}

// A run of slash switches: the status text is the last word on stderr.
int runSwitches(const CommandLine& command, Settings& settings)
{
    CliFrontEnd front(::isatty(STDERR_FILENO) == 1);
    Session session(settings, front);
    const RunOutcome outcome = runUnattended(session, command.run);
    front.finish();
    reportEncoding(session.result);
    switch (outcome) {
    case RunOutcome::Written:
        // A stop that came once the output was complete is said, not obeyed.
        say((interruptRequested() ? text::translated(text::kStoppedAfterWriting) : front.lastStatus()) + "\n");
        return exitStatus(outcome);
    case RunOutcome::DuplicatesFound:
    case RunOutcome::NothingToDo:
        say(front.lastStatus() + "\n");
        return exitStatus(outcome);
    case RunOutcome::WrittenUnflushed:
    case RunOutcome::InputError:
    case RunOutcome::OutputError:  // the status names the file and the reason
        return fail(exitStatus(outcome), front.lastStatus());
    case RunOutcome::Stopped:
        break;
    }
    return interrupted();
}

}  // namespace

int main(int argc, char** argv)
{
    // The language of every text, the messages about the arguments included.
    useLocaleLanguage();
    // A closed pipe shows as EPIPE wherever it is met; on standard output
    // the run then ends by SIGPIPE itself (endByClosedPipe).
    std::signal(SIGPIPE, SIG_IGN);
    installOutOfMemoryHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine command = parseCommandLine(args, Program::Cli);
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
            return standardOutputFailed(error);
        return 0;
    }
    case CommandLine::Action::Interactive:  // never for quillow-cli
    case CommandLine::Action::Run:
        break;
    }

    installInterruptHandler();
    Settings settings;
    if (command.run.fromStoredSettings)
        loadSettings(settings, ScreenSize{});
    return command.gnuSyntax ? runLineTool(command, settings) : runSwitches(command, settings);
}
