#include "app/unattended_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/command_line/command_line_texts.h"
#include "engine/io/content_hash.h"
#include "engine/io/file_info.h"
#include "engine/io/read_whole_file.h"
#include "app/save.h"
#include "app/scan.h"
#include "engine/dedup/selection.h"
#include "app/texts.h"

namespace quillow {

namespace {

// The input exactly as it was read, byte-order mark and all. Stop is
// honoured between blocks: a reader that does not read blocks the write. A
// file scanned on disk is read again and must prove to be what was scanned.
RunOutcome passThrough(const ScanResult& result, RunFlags& flags, Host& host, int fd)
{
    constexpr size_t kBlock = size_t{4} << 20;
    const bool fromFile = result.source && result.source->onDisk();
    const std::string_view bytes = result.source && !fromFile ? result.source->bytes() : std::string_view();
    int in = -1;
    if (fromFile) {
        int error = 0;
        in = openRegularFile(result.file, error);
        if (in < 0) {
            host.setStatus(text::failureStatus(text::kSourceUnreadable, result.file, error));
            return RunOutcome::InputError;
        }
    }
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{in};
    std::string buffer;
    ContentHash reread;
    for (uint64_t at = 0;;) {
        std::string_view block = bytes.substr(std::min<uint64_t>(at, bytes.size()), kBlock);
        if (fromFile) {
            buffer.resize(kBlock);
            try {
                block = std::string_view(buffer.data(), readFileAt(in, buffer.data(), kBlock, at));
            } catch (const ReadError& e) {
                host.setStatus(text::failureStatus(text::kSourceUnreadable, result.file, e.error));
                return RunOutcome::InputError;
            }
            reread.add(block);
        }
        if (block.empty())
            break;
        for (size_t done = 0; done < block.size();) {
            const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                host.setStatus(text::failureStatus(text::kSaveFailed, text::translated(text::kStandardOutput),
                                                   n < 0 ? errno : EIO));
                return RunOutcome::OutputError;
            }
            done += static_cast<size_t>(n);
        }
        at += block.size();
        host.yield();
        if (flags.stopRequested) {
            host.setStatus(text::translated(text::kSaveCancelled));
            return RunOutcome::Stopped;
        }
    }
    if (fromFile && reread.value() != result.contentHash) {
        host.setStatus(text::failureStatus(text::kSourceChanged, result.file, 0));
        return RunOutcome::InputError;
    }
    host.setStatus(text::translated(text::kPassedThrough));
    return RunOutcome::PassedThrough;
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

RunOutcome runUnattended(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                         const RunRequest& request)
{
    flags.unattended = true;
    result.bigFile = false;
    applyOverrides(request, settings.options);
    // Standard input cannot be read again and standard output is written
    // from the buffer: the scan keeps the lines.
    if (request.inputIsStdin || request.outputIsStdout)
        settings.options.preserveMemory = false;

    const ScanOutcome scanned =
        request.inputIsStdin
            ? runScanOfStream(settings, result, flags, host, STDIN_FILENO, text::translated(text::kStandardInput))
            : runScan(settings, result, flags, host, request.input);
    if (scanned == ScanOutcome::Stopped || !flags.unattended)
        return RunOutcome::Stopped;
    if (scanned == ScanOutcome::NoFile || scanned == ScanOutcome::Failed)
        return RunOutcome::InputError;
    // A filter passes on what has nothing to drop; a file is not written.
    const bool filter = request.outputIsStdout && request.select;
    if (scanned == ScanOutcome::EmptyFile || !result.ready)  // an empty file holds no duplicates either
        return filter ? passThrough(result, flags, host, STDOUT_FILENO) : RunOutcome::NothingToDo;
    if (!request.select)
        return RunOutcome::DuplicatesFound;

    runSelectCommand(result, flags, host, *request.select);
    if (filter && result.dups->selectedCount() == 0)
        return passThrough(result, flags, host, STDOUT_FILENO);

    // A stream target's path is the name its failures give.
    const SaveTarget target = request.outputIsStdout
                                  ? SaveTarget{text::translated(text::kStandardOutput), STDOUT_FILENO}
                                  : SaveTarget{request.output};
    const WriteResult written = runSave(settings, result, flags, host, target);
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
    if (!result.fromStream && !fileExists(result.file))
        return RunOutcome::InputError;
    return RunOutcome::OutputError;
}

}  // namespace quillow
