// The menu bar above the buttons: File (open, recent files, save, reload,
// quit), Edit (copy, find, go to line, undo), Select, View (viewer, the
// lists' font size), Tools and Help. The items do what the buttons do and
// follow the same state; their standard keys show in the menus and in the
// buttons' tool tips.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>

#include "app/flows/reload_flow.h"
#include "app/settings/recent_files.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "gui/work_runner.h"

namespace quillow {

namespace {

// The lists' font sizes the View menu steps through, in points.
constexpr int kSmallestListFont = 6, kLargestListFont = 48;

QString withShortcut(const QString& tip, const QKeySequence& keys)
{
    if (keys.isEmpty())
        return tip;
    return tip + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

}  // namespace

QAction* MainWindow::action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

void MainWindow::buildMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text, QList<QKeySequence> keys,
                      auto handler) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
    file->setObjectName(QStringLiteral("fileMenu"));
    add(file, "fileOpen", tr("打开(&O)..."), QKeySequence::keyBindings(QKeySequence::Open),
        [this] { onOpenClicked(); });
    recentMenu_ = file->addMenu(tr("最近打开的文件(&R)"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    QList<QKeySequence> saveKeys{QKeySequence(Qt::CTRL | Qt::Key_S)};
    saveKeys += QKeySequence::keyBindings(QKeySequence::SaveAs);
    add(file, "fileSaveAs", tr("另存为(&A)..."), saveKeys, [this] { onSaveClicked(); });
    add(file, "fileReload", tr("重新载入(&L)"), QKeySequence::keyBindings(QKeySequence::Refresh),
        [this] { reload(); });
    file->addSeparator();
    add(file, "fileQuit", tr("退出(&Q)"), QKeySequence::keyBindings(QKeySequence::Quit), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(tr("编辑(&E)"));
    edit->setObjectName(QStringLiteral("editMenu"));
    add(edit, "editCopy", tr("复制到剪贴板(&C)..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        [this] { onDupsRightClicked(); });
    edit->addSeparator();
    add(edit, "editFind", tr("查找(&F)..."), QKeySequence::keyBindings(QKeySequence::Find), [this] { openFind(); });
    // F3 is the viewer's key while the find bar is closed (see updateActions).
    add(edit, "editFindNext", tr("查找下一个(&N)"), {}, [this] { findBar_->isVisible() ? find_->find(true) : openFind(); });
    add(edit, "editFindPrevious", tr("查找上一个(&P)"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
        [this] { findBar_->isVisible() ? find_->find(false) : openFind(); });
    add(edit, "editGoToLine", tr("转到行(&G)..."), {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { goToLine(); });
    edit->addSeparator();
    add(edit, "editUndo", tr("撤销(&U)"), QKeySequence::keyBindings(QKeySequence::Undo), [this] {
        if (idle())
            undo_->undo();
    });
    add(edit, "editRedo", tr("重做(&R)"), QKeySequence::keyBindings(QKeySequence::Redo), [this] {
        if (idle())
            undo_->redo();
    });
    connect(undo_, &QUndoStack::indexChanged, this, [this] { updateActions(buttonStates(session_)); });

    selectMenu_->setTitle(tr("选择(&S)"));
    menuBar()->addMenu(selectMenu_);

    QMenu* view = menuBar()->addMenu(tr("查看(&V)"));
    view->setObjectName(QStringLiteral("viewMenu"));
    add(view, "viewViewer", tr("查看器(&V)"), {QKeySequence(Qt::Key_F3)}, [this] { onViewerClicked(); });
    view->addSeparator();
    add(view, "viewFontLarger", tr("放大列表字体(&I)"), QKeySequence::keyBindings(QKeySequence::ZoomIn),
        [this] { changeListFont(1); });
    add(view, "viewFontSmaller", tr("缩小列表字体(&D)"), QKeySequence::keyBindings(QKeySequence::ZoomOut),
        [this] { changeListFont(-1); });
    add(view, "viewFontNormal", tr("默认列表字体(&N)"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
        [this] { changeListFont(0); });

    QMenu* tools = menuBar()->addMenu(tr("工具(&T)"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    add(tools, "toolsOptions", tr("选项(&O)..."), {}, [this] { onOptionsClicked(); });

    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
    add(help, "helpContents", tr("Quillow 帮助(&H)"), QKeySequence::keyBindings(QKeySequence::HelpContents),
        [this] { openHelp(); });
    add(help, "helpAbout", tr("关于 Quillow(&A)"), {}, [this] { onAboutClicked(); });

    // The buttons' tool tips name their keys.
    const struct {
        Control button;
        QKeySequence keys;
    } buttonKeys[] = {
        {OpenButton, action("fileOpen")->shortcut()},
        {StopButton, QKeySequence(Qt::Key_Escape)},
        {SaveButton, action("fileSaveAs")->shortcut()},
        {SelectButton, QKeySequence(Qt::CTRL | Qt::Key_M)},
        {ViewerButton, QKeySequence(Qt::Key_F3)},
    };
    for (const auto& k : buttonKeys)
        button(k.button)->setToolTip(withShortcut(button(k.button)->toolTip(), k.keys));

    fillRecentMenu();
}

void MainWindow::updateActions(const ButtonStates& s)
{
    if (!recentMenu_)
        return;
    const bool free = !session_.busy && !work_->running();
    const bool lines = free && result_.source && result_.source->count() > 0;
    action("fileOpen")->setEnabled(s.scanEnabled && s.scanVisible);
    recentMenu_->setEnabled(s.scanEnabled && s.scanVisible);
    action("fileSaveAs")->setEnabled(s.saveEnabled);
    action("fileReload")->setEnabled(free && !result_.file.empty() && !result_.fromStream);
    action("editCopy")->setEnabled(free && result_.ready);
    for (const char* name : {"editFind", "editFindNext", "editFindPrevious"})
        action(name)->setEnabled(lines);
    action("editGoToLine")->setEnabled(lines && !result_.source->released());
    action("editUndo")->setEnabled(free && undo_->canUndo());
    action("editRedo")->setEnabled(free && undo_->canRedo());
    action("editUndo")->setText(undo_->canUndo() ? tr("撤销(&U): %1").arg(undo_->undoText()) : tr("撤销(&U)"));
    action("editRedo")->setText(undo_->canRedo() ? tr("重做(&R): %1").arg(undo_->redoText()) : tr("重做(&R)"));
    selectMenu_->menuAction()->setEnabled(s.selectEnabled);
    for (QAction* a : selectMenu_->actions())
        a->setEnabled(s.selectEnabled);
    action("viewViewer")->setEnabled(s.viewEnabled);
    action("toolsOptions")->setEnabled(s.settingsEnabled);
    action("helpAbout")->setEnabled(s.aboutEnabled);
    // One key, one item: F3 finds the next hit while the find bar is open
    // and opens the viewer while it is closed.
    const bool finding = findBar_ && findBar_->isVisible();
    action("editFindNext")->setShortcut(finding ? QKeySequence(Qt::Key_F3) : QKeySequence());
    action("viewViewer")->setShortcut(finding ? QKeySequence() : QKeySequence(Qt::Key_F3));
}

void MainWindow::fillRecentMenu()
{
    recentMenu_->clear();
    const std::vector<std::string>& files = settings_.recentFiles;
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(files[i]));
        // &1 ... &9, then 1&0: each item has its key.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction* a = recentMenu_->addAction(number + QLatin1Char(' ') + QString(path).replace(QStringLiteral("&"), QStringLiteral("&&")));
        a->setToolTip(path);
        const std::string file = files[i];
        connect(a, &QAction::triggered, this, [this, file] { openRecent(file); });
    }
    if (files.empty()) {
        recentMenu_->addAction(tr("(无)"))->setEnabled(false);
        return;
    }
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(tr("清除列表(&C)"));
    clear->setObjectName(QStringLiteral("recentClear"));
    connect(clear, &QAction::triggered, this, [this] {
        settings_.recentFiles.clear();
        fillRecentMenu();
    });
}

void MainWindow::openRecent(const std::string& file)
{
    if (!idle())
        return;
    if (reportUnopenable(file)) {
        forgetRecentFile(settings_, file);
        fillRecentMenu();
        return;
    }
    scan(file);
}

void MainWindow::reload()
{
    if (!idle() || result_.file.empty() || result_.fromStream)
        return;
    // Ticks are carried over by their lines' texts; without the texts they go.
    if (!ticksCanBeKept(result_) && !mayDropTicks())
        return;
    if (reportUnopenable(result_.file))
        return;
    const ReloadOutcome outcome = reloadFile(session_);
    if (outcome.scan == ScanOutcome::Completed)
        rememberRecentFile(settings_, result_.file);
}

void MainWindow::applyListFont()
{
    for (LineListView* list : {sourceList_, dupsList_}) {
        QFont font = centralWidget()->font();
        if (settings_.listFontPoints > 0)
            font.setPointSize(settings_.listFontPoints);
        list->setFont(font);
    }
}

void MainWindow::changeListFont(int step)
{
    if (step == 0) {
        settings_.listFontPoints = 0;
    } else {
        const int now = sourceList_->font().pointSize() > 0 ? sourceList_->font().pointSize() : 9;
        settings_.listFontPoints =
            static_cast<int16_t>(std::clamp(now + step, kSmallestListFont, kLargestListFont));
    }
    applyListFont();
}

}  // namespace quillow
