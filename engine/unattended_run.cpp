#include "engine/unattended_run.h"

#include "engine/file_info.h"
#include "engine/save.h"
#include "engine/scan.h"
#include "engine/selection.h"

namespace quillow {

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
    case RunOutcome::Stopped:
        return kExitStopped;
    }
    return kExitUsage;
}

RunOutcome runUnattended(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                         const RunRequest& request)
{
    flags.unattended = true;
    result.bigFile = false;
    applyOverrides(request, settings.options);

    switch (runScan(settings, result, flags, host, request.input)) {
    case ScanOutcome::Completed:
        break;
    case ScanOutcome::EmptyFile:  // readable, and without duplicate lines
        return RunOutcome::NothingToDo;
    case ScanOutcome::Stopped:
        return RunOutcome::Stopped;
    case ScanOutcome::NoFile:
    case ScanOutcome::Failed:
        return RunOutcome::InputError;
    }
    if (!flags.unattended)
        return RunOutcome::Stopped;
    if (!result.ready)
        return RunOutcome::NothingToDo;
    if (!request.select)
        return RunOutcome::DuplicatesFound;

    runSelectCommand(result, flags, host, *request.select);

    const WriteResult written = runSave(settings, result, flags, host, SaveTarget{request.output});
    if (!flags.unattended)
        return RunOutcome::Stopped;
    switch (written.outcome) {
    case WriteOutcome::Written:
        return RunOutcome::Written;
    case WriteOutcome::Stopped:
        return RunOutcome::Stopped;
    case WriteOutcome::SourceUnreadable:
    case WriteOutcome::SourceChanged:
        return RunOutcome::InputError;
    case WriteOutcome::TargetUnwritable:
    case WriteOutcome::Failed:
        return RunOutcome::OutputError;
    case WriteOutcome::NotStarted:
        break;
    }
    // The save's checks ended it silently, as they do in an unattended run.
    if (!result.dups || result.dups->selectedCount() == 0)
        return RunOutcome::NothingToDo;
    if (!fileExists(result.file))
        return RunOutcome::InputError;
    return RunOutcome::OutputError;
}

}  // namespace quillow
