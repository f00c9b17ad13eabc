#pragma once
// The main window as the program's main starts it, with every dialog
// answered by a script and the settings store in a folder of the test's own.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gui/list_models.h"
#include "gui/main_window.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace quillow::testing {

// What one run of the program keeps.
struct Stored {
    Settings settings;
};

// Lines "line 1" ... "line n", with the given line numbers replaced.
inline std::string numbered(int n, const std::vector<std::pair<int, std::string>>& replaced = {})
{
    std::string text;
    for (int i = 1; i <= n; ++i) {
        std::string line = "line " + std::to_string(i);
        for (const auto& [at, with] : replaced)
            if (at == i)
                line = with;
        text += line + "\n";
    }
    return text;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dir = store.path().string();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("XDG_CACHE_HOME", (store.path() / "cache").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir));
    }

    void TearDown() override
    {
        window.reset();
        QGuiApplication::clipboard()->clear();
    }

    std::string storeFile() const { return (store.path() / "Orvandel" / "Quillow.conf").string(); }

    void writeStore(const std::string& body) const
    {
        std::filesystem::create_directories(store.path() / "Orvandel");
        store.write("Orvandel/Quillow.conf", "[Quillow]\n" + body);
    }

    // Loads the window, shows it and runs the first activation, as the
    // program's main and its event loop do.
    MainWindow& start(std::vector<std::string> args = {})
    {
        window = std::make_unique<MainWindow>(program->settings, dialogs, parseCommandLine(args, Program::Desktop));
        QObject::connect(window.get(), &MainWindow::programEnded, [this](int code) { endedWith = code; });
        window->showAtStart();
        window->firstActivation();
        // Menu keys reach an active window, as the user's do.
        if (!window->ended()) {
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        return *window;
    }

    // Scans a file chosen through the (scripted) open dialog.
    void open(const std::string& path)
    {
        dialogs.openFiles.push_back(path);
        QTest::mouseClick(window->button(MainWindow::OpenButton), Qt::LeftButton);
        QCoreApplication::processEvents();  // the views lay out their new rows
    }

    std::set<int> checkedRows() const
    {
        std::set<int> rows;
        DupsListModel* m = window->dupsModel();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->data(m->index(r), Qt::CheckStateRole).toInt() == Qt::Checked)
                rows.insert(r);
        return rows;
    }

    QAction* menuItem(const char* name) const { return window->selectMenu()->findChild<QAction*>(name); }

    QPoint rowCentre(QAbstractItemView* view, int row) const
    {
        return view->visualRect(view->model()->index(row, 0)).center();
    }

    std::string labelText() const
    {
        return window->findChild<QLabel*>("statusText")->text().toStdString();
    }

    TempDir store;
    TempDir files;
    // Tables that need a fresh session replace it.
    std::unique_ptr<Stored> program = std::make_unique<Stored>();
    Settings& settings() const { return program->settings; }
    const ScanResult& result() const { return window->result(); }
    Session& session() const { return window->session(); }
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    std::optional<int> endedWith;
};

}  // namespace quillow::testing
