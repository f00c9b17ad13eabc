// quillow: the desktop program. The main window does the start-up, the
// unattended run of a command line and the shutdown; here is only what must
// happen before any window exists: --help and --version (which need no
// display) and command lines that cannot run at all.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine/command_line_help.h"
#include "engine/command_line_texts.h"
#include "engine/unattended_run.h"
#include "gui/dialogs.h"
#include "gui/main_window.h"
#include "gui/window_setup.h"

using namespace quillow;

int main(int argc, char** argv)
{
    CommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), Program::Desktop);
    // --help and --version work without a display.
    if (command.action == CommandLine::Action::Help || command.action == CommandLine::Action::Version) {
        const std::string text = command.action == CommandLine::Action::Help ? commandLineHelp(Program::Desktop)
                                                                             : versionText(Program::Desktop);
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : kExitOutput;
    }

    const int givenArgs = argc;
    QApplication app(argc, argv);
    // Qt takes its own options (-style, -platform ...) out of argv.
    if (argc != givenArgs)
        command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), Program::Desktop);
    if (command.action == CommandLine::Action::Error) {
        const std::string line = command.errorIsUsage ? text::usageErrorLine("quillow", command.error)
                                                       : text::errorLine("quillow", command.error);
        std::fputs(line.c_str(), stderr);
        return kExitUsage;
    }

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

    Settings settings;
    ScanResult result;
    RunFlags flags;
    QtDialogs dialogs;
    MainWindow window(settings, result, flags, dialogs, command);
    // The program ends when the main window unloads, with the status it says;
    // dialogs that are still open close with it.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &MainWindow::programEnded, &app, [](int status) { QCoreApplication::exit(status); });
    window.showAtStart();
    return app.exec();
}
