#include "cli/run_guards.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <new>

#include "engine/io/file_info.h"
#include "engine/io/pending_temp_files.h"
#include "app/settings/settings_files.h"
#include "app/command_line/slash_path_warning.h"
#include "app/texts.h"
#include "app/unattended_run.h"

namespace quillow {

namespace {

// Made while memory is there: nothing may be allocated at the end.
const std::string* g_outOfMemoryLine = nullptr;

[[noreturn]] void onTerminate()
{
    removePendingTempFiles();
    bool outOfMemory = false;
    if (std::exception_ptr e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        } catch (...) {
        }
    }
    if (!outOfMemory || !g_outOfMemoryLine)
        std::abort();
    ssize_t ignored = ::write(STDERR_FILENO, g_outOfMemoryLine->data(), g_outOfMemoryLine->size());
    (void)ignored;
    ::_exit(kExitOutput);
}

}  // namespace

void warnBeforeRun(const std::vector<std::string>& args, const CommandLine& command, std::FILE* err)
{
    if (!command.gnuSyntax)
        if (const std::string cut = pathCutBySwitches(args); !cut.empty())
            std::fprintf(err, "quillow-cli: %s\n", text::slashCutWarning(cut).c_str());
    // Only a run that reads the store hears about its file.
    if (command.action == CommandLine::Action::Run && command.run.fromStoredSettings)
        if (const std::string unusable = unusableSettingsFile(); !unusable.empty())
            std::fprintf(err, "quillow-cli: %s\n",
                         text::failureStatus(text::kSettingsUnusable, unusable, kNotRegularError).c_str());
}

void installOutOfMemoryHandler()
{
    static const std::string line = std::string("quillow-cli: ") + text::translated(text::kOutOfMemoryElsewhere) + "\n";
    g_outOfMemoryLine = &line;
    std::set_terminate(onTerminate);
}

}  // namespace quillow
