// The desktop program in English, once the translation is in force (how the
// locale chooses it is quillow-cli's test): a text of every window, an
// engine status text and message, and Qt's own buttons in either language.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <memory>
#include <string>

#include "gui/about_dialog.h"
#include "gui/copy_dialog.h"
#include "gui/dialogs.h"
#include "gui/file_dialogs.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/options_dialog.h"
#include "gui/translations.h"
#include "gui/viewer_window.h"
#include "support/recording_front_end.h"
#include "support/scripted_dialogs.h"
#include "language_fixture.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

class LanguageTest : public testing::LanguageFixture {
protected:
    // The text of a standard button that the program leaves to Qt.
    static std::string qtCancel()
    {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Cancel);
        return box.button(QMessageBox::Cancel)->text().toStdString();
    }

};

TEST_F(LanguageTest, TheDesktopProgramInEnglish)
{
    use(Language::English);
    Settings settings;
    testing::ScriptedDialogs dialogs;
    MainWindow w(settings, dialogs, parseCommandLine({}, Program::Desktop));
    w.showAtStart();
    w.firstActivation();
    const std::string caption = w.windowTitle().toStdString();
    dialogs.openFiles.push_back(files.write("in.txt", "a\nb\na\n"));
    QTest::mouseClick(w.button(MainWindow::OpenButton), Qt::LeftButton);
    const std::string status = w.statusText().toStdString();
    QTest::mouseClick(w.button(MainWindow::SaveButton), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);

    OptionsDialog options(w.session());
    CopyDialog copy(w.session(), 0);
    AboutDialog about(settings.counters, "3.0");
    ViewerWindow viewer(w.session());
    const std::unique_ptr<QMessageBox> box = makeMessageBox(nullptr, QStringLiteral("x"), Icon::None, Buttons::YesNo);
    const QString help = HelpWindow(&w).browser()->toPlainText();
    struct Row {
        const char* name;
        std::string shown, expected;
    };
    const Row rows[] = {
        {"caption", caption, "Quillow 3.0 - Press F1 for help"},
        {"status text", status, "Scanned 3 lines: found 2 duplicates in 1 distinct group!"},
        {"message box", dialogs.messages[0].text,
         "No duplicates are selected! Select lines in the duplicates list by ticking their check boxes, or click "
         "the Select button for the usual choices. Then you can save the file without the selected lines."},
        {"menu item", w.selectMenu()->findChild<QAction*>("selectAllButFirst")->text().toStdString(),
         "All but the First Occurrence"},
        {"tool tip", w.button(MainWindow::OpenButton)->toolTip().toStdString(),
         "Open a text document and scan it for duplicate lines. (Ctrl+O)"},
        {"menu bar", w.menuBar()->actions().at(0)->text().toStdString(), "&File"},
        {"help page",
         help.contains(QStringLiteral("What Quillow does")) && !help.contains(QStringLiteral("基本步骤")) ? "English only"
                                                                                                    : "not English only",
         "English only"},
        {"viewer header", viewer.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
         "Line"},
        {"options dialog", options.windowTitle().toStdString(), "Quillow Options"},
        {"copy dialog", copy.windowTitle().toStdString(), "Copy to Clipboard"},
        {"about box", about.windowTitle().toStdString(), "About Quillow"},
        {"viewer", viewer.windowTitle().toStdString(), "Quillow Viewer"},
        {"file dialogs", FileDialogs::tr("另存为").toStdString(), "Save As"},
        {"message box button", box->button(QMessageBox::Yes)->text().toStdString(), "&Yes"},
        {"Qt's own button", qtCancel(), "Cancel"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.shown, row.expected) << row.name;
}

TEST_F(LanguageTest, QtsOwnButtonsSpeakChineseWithTheProgram)
{
    use(Language::Chinese);
    EXPECT_EQ(qtCancel(), "取消");
}

}  // namespace
}  // namespace quillow
