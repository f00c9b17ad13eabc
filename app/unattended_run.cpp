#include "app/unattended_run.h"

#include <unistd.h>

#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/flows/select_flow.h"
#include "app/command_line/command_line_texts.h"
#include "app/texts.h"
#include "engine/io/pass_through.h"

namespace quillow {

namespace {

// The input exactly as it was read, to fd, on the front end's worker.
RunOutcome passInputThrough(Session& session, int fd)
{
    PassThroughResult passed;
    session.frontEnd.runWork(text::kSaveStopQuestion,
                             [&](Work& work) { passed = passThrough(session.result, fd, work); });
    FrontEnd& front = session.frontEnd;
    const std::string& file = session.result.file;
    switch (passed.outcome) {
    case PassThroughOutcome::Done:
        front.setStatus(text::translated(text::kPassedThrough));
        return RunOutcome::PassedThrough;
    case PassThroughOutcome::Stopped:
        front.setStatus(text::translated(text::kSaveCancelled));
        return RunOutcome::Stopped;
    case PassThroughOutcome::SourceUnreadable:
        front.setStatus(text::failureStatus(text::kSourceUnreadable, file, passed.error));
        return RunOutcome::InputError;
    case PassThroughOutcome::SourceChanged:
        front.setStatus(text::failureStatus(text::kSourceChanged, file, 0));
        return RunOutcome::InputError;
    case PassThroughOutcome::WriteFailed:
        break;
    }
    front.setStatus(text::failureStatus(text::kSaveFailed, text::translated(text::kStandardOutput), passed.error));
    return RunOutcome::OutputError;
}

RunOutcome outcomeOf(SaveOutcome saved)
{
    switch (saved) {
    case SaveOutcome::Written:
        return RunOutcome::Written;
    case SaveOutcome::Stopped:
        return RunOutcome::Stopped;
    case SaveOutcome::NothingToSave:
    case SaveOutcome::NothingSelected:
        return RunOutcome::NothingToDo;
    case SaveOutcome::SourceMissing:
    case SaveOutcome::SourceChanged:
    case SaveOutcome::SourceUnreadable:
        return RunOutcome::InputError;
    case SaveOutcome::Cancelled:
    case SaveOutcome::TargetUnwritable:
    case SaveOutcome::Failed:
        break;
    }
    return RunOutcome::OutputError;
}

RunOutcome run(Session& session, const RunRequest& request)
{
    Settings& settings = session.settings;
    ScanResult& result = session.result;
    result.bigFile = false;
    applyOverrides(request, settings.options);
    // Standard input cannot be read again and standard output is written
    // from the buffer: the scan keeps the lines.
    if (request.inputIsStdin || request.outputIsStdout)
        settings.options.preserveMemory = false;

    const ScanOutcome scanned = request.inputIsStdin
                                    ? openStream(session, STDIN_FILENO, text::translated(text::kStandardInput))
                                    : openFile(session, request.input);
    if (scanned == ScanOutcome::Stopped)
        return RunOutcome::Stopped;
    if (scanned == ScanOutcome::NoFile || scanned == ScanOutcome::Failed)
        return RunOutcome::InputError;
    // A filter passes on what has nothing to drop; a file is not written.
    const bool filter = request.outputIsStdout && request.select;
    if (scanned == ScanOutcome::EmptyFile || !result.ready)  // an empty file holds no duplicates either
        return filter ? passInputThrough(session, STDOUT_FILENO) : RunOutcome::NothingToDo;
    if (!request.select)
        return RunOutcome::DuplicatesFound;

    selectEntries(session, *request.select);
    if (filter && result.dups->selectedCount() == 0)
        return passInputThrough(session, STDOUT_FILENO);

    // A stream target's path is the name its failures give.
    const SaveTarget target = request.outputIsStdout
                                  ? SaveTarget{text::translated(text::kStandardOutput), STDOUT_FILENO}
                                  : SaveTarget{request.output};
    return outcomeOf(saveCleanedCopy(session, target).outcome);
}

}  // namespace

int exitStatus(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Written:
    case RunOutcome::PassedThrough:
    case RunOutcome::DuplicatesFound:
        return 0;
    case RunOutcome::NothingToDo:
        return 1;
    case RunOutcome::InputError:
        return kExitUsage;
    case RunOutcome::OutputError:
        return kExitOutput;
    case RunOutcome::Stopped:
        return kExitStopped;
    }
    return kExitUsage;
}

RunOutcome runUnattended(Session& session, const RunRequest& request)
{
    session.unattended = true;
    const RunOutcome outcome = run(session, request);
    // A stopped run hands the window to the user.
    if (outcome == RunOutcome::Stopped)
        session.unattended = false;
    return outcome;
}

}  // namespace quillow
