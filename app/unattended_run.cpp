#include "app/unattended_run.h"

#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/flows/select_flow.h"
#include "app/line_tool_run.h"

namespace quillow {

namespace {

RunOutcome outcomeOf(SaveOutcome saved)
{
    switch (saved) {
    case SaveOutcome::Written:
        return RunOutcome::Written;
    case SaveOutcome::WrittenUnflushed:
        return RunOutcome::WrittenUnflushed;
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

// The slash switches' run: the scan, the selection by rule, the save.
RunOutcome runSwitches(Session& session, const RunRequest& request)
{
    session.result.bigFile = false;
    applyOverrides(request, session.settings.options);
    const ScanOutcome scanned = openFile(session, request.input);
    if (scanned == ScanOutcome::Stopped)
        return RunOutcome::Stopped;
    if (scanned == ScanOutcome::NoFile || scanned == ScanOutcome::Failed)
        return RunOutcome::InputError;
    if (scanned == ScanOutcome::EmptyFile || !session.result.ready)  // an empty file holds no duplicates either
        return RunOutcome::NothingToDo;
    if (!request.select)
        return RunOutcome::DuplicatesFound;
    selectEntries(session, *request.select);
    return outcomeOf(saveCleanedCopy(session, SaveTarget{request.output}).outcome);
}

}  // namespace

int exitStatus(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Written:
    case RunOutcome::DuplicatesFound:
        return 0;
    case RunOutcome::NothingToDo:
        return 1;
    case RunOutcome::InputError:
        return kExitUsage;
    case RunOutcome::OutputError:
        return kExitOutput;
    case RunOutcome::WrittenUnflushed:
        return kExitUnflushed;
    case RunOutcome::Stopped:
        return kExitStopped;
    }
    return kExitUsage;
}

RunOutcome runUnattended(Session& session, const RunRequest& request, RunFailure* failure)
{
    session.unattended = true;
    const Options stored = session.settings.options;
    RunFailure unused;
    const RunOutcome outcome =
        request.lineTool ? runLineTool(session, request, failure ? *failure : unused) : runSwitches(session, request);
    // A stopped run hands the window to the user: with the switches'
    // overrides in force, or with the user's own options after GNU options
    // (which start from the documented defaults).
    if (outcome == RunOutcome::Stopped) {
        session.unattended = false;
        if (request.lineTool)
            session.settings.options = stored;
    }
    return outcome;
}

}  // namespace quillow
