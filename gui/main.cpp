// quillow: the desktop program. The main window does the start-up, the
// unattended run of a command line and the shutdown; here is only what must
// happen before any window exists: --help and --version (which need no
// display) and command lines that cannot run at all.
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line/command_line.h"
#include "app/command_line/command_line_help.h"
#include "app/command_line/command_line_texts.h"
#include "engine/io/pending_temp_files.h"
#include "app/translation.h"
#include "app/unattended_run.h"
#include "gui/dialogs.h"
#include "gui/display_check.h"
#include "gui/main_window.h"
#include "gui/translations.h"
#include "gui/window_setup.h"

using namespace quillow;

namespace {

// Options Qt takes out of the arguments itself when the application starts.
bool holdsQtOption(const std::vector<std::string>& args)
{
    static const char* const kQtOptions[] = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                             "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-reverse",
                                             "-session", "-style", "-stylesheet", "-widgetcount", "-display",
                                             "-geometry", "-name", "-title", "-visual", "-dialogs", "-qmljsdebugger"};
    for (const std::string& a : args)
        for (const char* option : kQtOptions)
            if (a == option || a.starts_with(std::string(option) + "=") || (a.starts_with("-") && a.substr(1) == option))
                return true;
    return false;
}

// Ctrl-C, kill and a closed terminal end the desktop program as they always
// did, but not before a save's temporary file is removed.
extern "C" void endBySignal(int sig)
{
    removePendingTempFiles();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void removeTemporaryFilesOnSignals()
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        std::signal(sig, endBySignal);
}

int usageError(const CommandLine& command)
{
    const std::string line = command.errorIsUsage ? text::usageErrorLine("quillow", command.error)
                                                   : text::errorLine("quillow", command.error);
    std::fputs(line.c_str(), stderr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    // The language of every text, the answers to the arguments included.
    const Language language = useLocaleLanguage();
    const std::vector<std::string> given(argv + 1, argv + argc);
    CommandLine command = parseCommandLine(given, Program::Desktop);
    // --help, --version and bad arguments are answered without a display.
    if (command.action == CommandLine::Action::Help || command.action == CommandLine::Action::Version) {
        const std::string text = command.action == CommandLine::Action::Help ? commandLineHelp(Program::Desktop)
                                                                             : versionText(Program::Desktop);
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : kExitOutput;
    }
    if (command.action == CommandLine::Action::Error && !holdsQtOption(given))
        return usageError(command);

    // Without a display Qt would abort; quillow-cli is the way to go then.
    const DisplayCheck display(given);
    if (!display.missing().empty()) {
        std::fputs(DisplayCheck::message(display.missing()).c_str(), stderr);
        return kExitUsage;
    }
    removeTemporaryFilesOnSignals();
    const int givenArgs = argc;
    QApplication app(argc, argv);
    if (const std::string failure = display.failure(); !failure.empty()) {
        std::fputs(DisplayCheck::message(failure).c_str(), stderr);
        return kExitUsage;
    }
    // Qt takes its own options (-style, -platform ...) out of argv.
    if (argc != givenArgs)
        command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), Program::Desktop);
    if (command.action == CommandLine::Action::Error)
        return usageError(command);

    QApplication::setDesktopFileName(QStringLiteral(QUILLOW_APP_ID));
    QApplication::setApplicationName(QStringLiteral("quillow"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLOW_VERSION));
    QApplication::setWindowIcon(programIcon());
    // The widgets' texts and Qt's own dialogs in the interface language.
    const std::unique_ptr<QTranslator> qtTranslator = installTranslations(language);

    Settings settings;
    QtDialogs dialogs;
    MainWindow window(settings, dialogs, command);
    // The program ends when the main window unloads, with the status it says;
    // dialogs that are still open close with it.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &MainWindow::programEnded, &app, [](int status) { QCoreApplication::exit(status); });
    window.showAtStart();
    return app.exec();
}
