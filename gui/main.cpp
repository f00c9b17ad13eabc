// quillow: the desktop program. The main window does the start-up, the
// unattended run of a command line and the shutdown; here are only what must
// happen before any window exists: --help and --version (which need no
// display) and command lines that cannot run at all.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/gnu_options.h"
#include "gui/main_window.h"
#include "gui/dialogs.h"
#include "engine/program_state.h"
#include "gui/window_setup.h"

using namespace quillow;

namespace {

// --help: the usage lines and the notes around the option lines.
const char* const kHelpUsage =
    "Usage: quillow [FILE]\n"
    "   or: quillow -i FILE -o FILE -s RULE [OPTION]...\n"
    "   or: quillow /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]\n"
    "               [/f N] [/x PATTERN] [/a N] [/p on|off]\n"
    "Find the lines that occur more than once in a text file, choose which\n"
    "occurrences to drop and write a cleaned copy. Without arguments the window\n"
    "opens for interactive use; with a FILE alone it opens and scans FILE; with\n"
    "the options below it cleans FILE by itself, showing its progress in the\n"
    "window, and closes.\n"
    "\n";
const char* const kHelpNotes =
    "\n"
    "The options override the stored settings for this run only; a completed\n"
    "run leaves the stored settings untouched. Any argument starting with '-'\n"
    "selects the options above; otherwise the arguments are read as the classic\n"
    "slash switches (a path containing /i, /o, /s, /c, /r, /m, /f, /x, /a or /p\n"
    "is cut there: use the options above for absolute paths). DEBUG_MODE lifts\n"
    "the minimum window size. quillow-cli does the same without a window.\n"
    "\n"
    "Exit status of a run: 0 written, 1 nothing to do (no duplicates, nothing\n"
    "selected), 2 bad usage or unreadable input, 3 the output could not be\n"
    "written. A run stopped with the Stop button leaves the window open.\n";

std::string helpText() { return kHelpUsage + gnuOptionsHelp(HelpProgram::Desktop) + kHelpNotes; }

constexpr int kExitUsage = 2;

std::vector<std::string> withoutMarker(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    for (const std::string& a : args)
        if (a != "DEBUG_MODE")
            out.push_back(a);
    return out;
}

// Answers --help and --version; nullopt when the window has to open.
std::optional<int> answerAtOnce(const GnuOptions& options)
{
    switch (options.action) {
    case GnuOptions::Action::Help:
        std::fputs(helpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 3;
    case GnuOptions::Action::Version:
        std::printf("quillow %s\n", QUILLOW_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 3;
    default:
        return std::nullopt;
    }
}

void usageError(const std::string& message)
{
    std::fprintf(stderr, "quillow: %s (see quillow --help)\n", message.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version work without a display.
    {
        std::vector<std::string> raw = withoutMarker(std::vector<std::string>(argv + 1, argv + argc));
        if (usesGnuSyntax(raw))
            if (auto status = answerAtOnce(parseGnuOptions(raw)))
                return *status;
    }

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("quillow"));
    QApplication::setApplicationName(QStringLiteral("quillow"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLOW_VERSION));
    QApplication::setWindowIcon(programIcon());
    // The program speaks Chinese; so do Qt's own dialogs where translations
    // are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Qt has taken its own options out of argv.
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<std::string> gnuArgs = withoutMarker(args);
    if (usesGnuSyntax(gnuArgs)) {
        GnuOptions options = parseGnuOptions(gnuArgs);
        if (auto status = answerAtOnce(options))
            return *status;
        if (options.action == GnuOptions::Action::Error) {
            usageError(options.error);
            return kExitUsage;
        }
        if (options.action == GnuOptions::Action::List) {
            usageError("--list writes to standard output: use quillow-cli --list");
            return kExitUsage;
        }
        if (options.inputIsStdin || options.outputIsStdout) {
            usageError("standard input and output are for quillow-cli");
            return kExitUsage;
        }
        ProgramState probe;
        const std::string refusal = applyGnuOptions(options, probe);
        if (!refusal.empty()) {
            std::fprintf(stderr, "quillow: %s\n", refusal.c_str());
            return kExitUsage;
        }
    }

    ProgramState state;
    QtDialogs dialogs;
    MainWindow window(state, dialogs, args);
    // The program ends when the main window unloads, with the status it says;
    // dialogs that are still open close with it.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &MainWindow::programEnded, &app, [](int status) { QCoreApplication::exit(status); });
    window.showAtStart();
    return app.exec();
}
