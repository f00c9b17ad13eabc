#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cstdio>

#include "app/button_states.h"
#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/settings/recent_files.h"
#include "app/settings/settings_store.h"
#include "engine/text/text_util.h"
#include "app/texts.h"
#include "app/unattended_run.h"
#include "gui/file_dialogs.h"
#include "gui/find_bar.h"
#include "gui/help_window.h"
#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window_internal.h"
#include "gui/screen_fit.h"
#include "gui/status_label.h"
#include "gui/window_setup.h"
#include "gui/work_runner.h"

namespace quillow {

namespace {

// The progress bar under the buttons: it fills from the bottom while it is
// higher than wide, and from the left, with the percentage on it, when a low
// window leaves it wider than high. Styles draw the text of an upright bar
// each their own way (Fusion not at all once it is tall); the status text
// carries the percentage too.
class ColumnProgressBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QProgressBar::resizeEvent(event);
        const Qt::Orientation fits = height() > width() ? Qt::Vertical : Qt::Horizontal;
        if (fits != orientation()) {
            // The turn would turn the size policy as well: the column's bar
            // keeps its own.
            const QSizePolicy policy = sizePolicy();
            setOrientation(fits);
            setSizePolicy(policy);
        }
        setTextVisible(fits == Qt::Horizontal);
    }
};

}  // namespace

MainWindow::MainWindow(Settings& settings, Dialogs& dialogs, CommandLine command, QWidget* parent)
    : QMainWindow(parent),
      session_(settings, *this),
      settings_(settings),
      result_(session_.result),
      dialogs_(dialogs),
      command_(std::move(command))
{
    setObjectName(QStringLiteral("mainWindow"));
    work_ = new WorkRunner(this);
    undo_ = new QUndoStack(this);
    // Enough steps back for a session's work; each costs a bit per entry at most.
    undo_->setUndoLimit(100);
    setWindowTitle(QStringLiteral("Quillow"));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
    buildFind();
    loadSettingsAndPlace();
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The stack empties as it goes and would have the menus follow.
    undo_->disconnect(this);
}

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    struct ButtonDef {
        Control id;
        const char* name;
        const char* caption;
        const char* tip;
        const char* picture;
    };
    const ButtonDef buttons[] = {
        {OpenButton, "openButton", QT_TR_NOOP("打开"), QT_TR_NOOP("打开一个文本文档，扫描重复行。"), "open"},
        {StopButton, "stopButton", QT_TR_NOOP("取消"), QT_TR_NOOP("停止处理！"), "stop"},
        {SaveButton, "saveButton", QT_TR_NOOP("另存为"), QT_TR_NOOP("保存为没有所选重复项的文件。"), "save"},
        {SelectButton, "selectButton", QT_TR_NOOP("选择"),
         QT_TR_NOOP("使用不同方法选择重复项。在你保存文件时无法选择重复项。"), "select"},
        {ViewerButton, "viewerButton", QT_TR_NOOP("查看器"), QT_TR_NOOP("查看用红色标记为重复行的文件"), "view"},
        {OptionsButton, "optionsButton", QT_TR_NOOP("选项"), QT_TR_NOOP("编辑选项。"), "options"},
        {AboutButton, "aboutButton", QT_TR_NOOP(" 关于 "), QT_TR_NOOP("显示关于 Quillow 的信息。"), "about"},
    };
    for (const ButtonDef& d : buttons) {
        auto* b = new QToolButton(client);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setText(tr(d.caption));
        b->setToolTip(tr(d.tip));
        b->setIcon(buttonIcon(QString::fromLatin1(d.picture)));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFocusPolicy(Qt::StrongFocus);
        // As wide as the column, as high as picture and caption need.
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        controls_[d.id] = b;
    }
    // Stop stands in Open's place while work runs: the place keeps its size
    // whichever of the two shows.
    for (Control c : {OpenButton, StopButton}) {
        QSizePolicy policy = controls_[c]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        controls_[c]->setSizePolicy(policy);
    }
    button(StopButton)->hide();

    // The bar takes the column's width and the height left under the
    // buttons, at least room for its text lying flat.
    progressBar_ = new ColumnProgressBar(client);
    progressBar_->setObjectName(QStringLiteral("progressArea"));
    progressBar_->setOrientation(Qt::Vertical);
    progressBar_->setTextVisible(false);
    progressBar_->setFormat(QStringLiteral("%p%"));
    progressBar_->setAlignment(Qt::AlignCenter);
    progressBar_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    const QFontMetrics text = progressBar_->fontMetrics();
    progressBar_->setMinimumSize(text.horizontalAdvance(QStringLiteral("100%")) + 8, text.height() + 4);
    controls_[ProgressArea] = progressBar_;

    auto* sourceLabel = new QLabel(tr("来源文件:"), client);
    sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
    controls_[SourceLabel] = sourceLabel;

    // Beside the heading; a long note wraps instead of widening the window.
    encodingLabel_ = new QLabel(client);
    encodingLabel_->setObjectName(QStringLiteral("encodingLabel"));
    encodingLabel_->setTextFormat(Qt::PlainText);
    encodingLabel_->setWordWrap(true);

    auto* dupsLabel = new QLabel(tr("找到重复项:"), client);
    dupsLabel->setObjectName(QStringLiteral("dupsLabel"));
    controls_[DupsLabel] = dupsLabel;

    auto setUpList = [&](LineListView* v, const char* name, const char* tip) {
        v->setObjectName(QString::fromLatin1(name));
        v->setToolTip(tr(tip));
        v->setContextMenuPolicy(Qt::PreventContextMenu);
        // The lists share the height by their stretch alone, whatever their
        // contents would like.
        v->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        v->setMinimumHeight(v->minimumSizeHint().height());
    };

    sourceList_ = new LineListView(client);
    setUpList(sourceList_, "sourceList", QT_TR_NOOP("显示来源文件。右键点击复制高亮行。"));
    sourceModel_ = new SourceListModel(result_, this);
    sourceList_->setModel(sourceModel_);
    sourceList_->setAcceptDrops(true);
    sourceList_->viewport()->setAcceptDrops(true);
    sourceList_->setDragDropMode(QAbstractItemView::DropOnly);
    sourceList_->onRightClick = [this] { onSourceRightClicked(); };
    sourceList_->acceptsDrop = [this](const QMimeData* d) { return acceptsDrop(d); };
    sourceList_->onDrop = [this](const QMimeData* d) { dropFiles(d); };
    controls_[SourceList] = sourceList_;

    dupsList_ = new LineListView(client);
    setUpList(dupsList_, "dupsList", QT_TR_NOOP("显示找到的重复项。右键点击弹出复制选项。"));
    dupsModel_ = new DupsListModel(
        result_, [this](int64_t row) { onEntryChecked(row); }, this);
    dupsList_->setModel(dupsModel_);
    dupsList_->setAcceptDrops(false);
    dupsList_->onRightClick = [this] { onDupsRightClicked(); };
    connect(dupsList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    showDupsEntryLine(current.row());
            });
    connect(dupsList_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { showDupsEntryLine(i.row()); });
    controls_[DupsList] = dupsList_;

    // Left: the buttons from Open to About, Open and Stop in one place, the
    // progress bar under them down to the status bar.
    auto* column = new QGridLayout;
    int row = 0;
    column->addWidget(controls_[OpenButton], row, 0);
    column->addWidget(controls_[StopButton], row++, 0);
    for (Control c : {SaveButton, SelectButton, ViewerButton, OptionsButton, AboutButton})
        column->addWidget(controls_[c], row++, 0);
    column->addWidget(progressBar_, row, 0);
    column->setRowStretch(row, 1);

    // Right: each list under its heading; the two lists share the height.
    auto* heading = new QHBoxLayout;
    heading->addWidget(sourceLabel, 0, Qt::AlignTop);
    heading->addWidget(encodingLabel_, 1, Qt::AlignTop);
    auto* lists = new QVBoxLayout;
    lists->setSpacing(2);
    lists->addLayout(heading);
    lists->addWidget(sourceList_, 1);
    lists->addSpacing(client->style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing));
    lists->addWidget(dupsLabel);
    lists->addWidget(dupsList_, 1);

    auto* panes = new QHBoxLayout;
    panes->addLayout(column);
    panes->addLayout(lists, 1);
    // The find bar, when open, runs under both columns.
    findBar_ = new FindBar(client);
    findBar_->hide();
    auto* root = new QVBoxLayout(client);
    root->addLayout(panes, 1);
    root->addWidget(findBar_);

    // Tab order: the buttons from the top, then the two lists; the labels
    // and the progress bar take no focus.
    for (int c = OpenButton; c < AboutButton; ++c)
        setTabOrder(controls_[c], controls_[c + 1]);
    setTabOrder(controls_[AboutButton], sourceList_);
    setTabOrder(sourceList_, dupsList_);

    connect(button(OpenButton), &QToolButton::clicked, this, &MainWindow::onOpenClicked);
    connect(button(StopButton), &QToolButton::clicked, this, &MainWindow::onStopClicked);
    connect(button(SaveButton), &QToolButton::clicked, this, &MainWindow::onSaveClicked);
    connect(button(SelectButton), &QToolButton::clicked, this, &MainWindow::onSelectClicked);
    connect(button(ViewerButton), &QToolButton::clicked, this, &MainWindow::onViewerClicked);
    connect(button(OptionsButton), &QToolButton::clicked, this, &MainWindow::onOptionsClicked);
    connect(button(AboutButton), &QToolButton::clicked, this, &MainWindow::onAboutClicked);

    statusLabel_ = new StatusLabel(statusBar());
    statusLabel_->setObjectName(QStringLiteral("statusText"));
    statusBar()->addWidget(statusLabel_, 1);

    selectMenu_ = new QMenu(tr("选择"), this);
    selectMenu_->setObjectName(QStringLiteral("selectMenu"));
    auto addCommand = [this](const char* name, const char* caption, SelectCommand command) {
        QAction* a = selectMenu_->addAction(tr(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setData(static_cast<int>(command));
        connect(a, &QAction::triggered, this, [this, command] { runSelectCommand(command); });
    };
    addCommand("selectAll", QT_TR_NOOP("全选"), SelectCommand::All);
    addCommand("selectNone", QT_TR_NOOP("不选"), SelectCommand::None);
    selectMenu_->addSeparator();
    addCommand("invertSelection", QT_TR_NOOP("反选"), SelectCommand::Invert);
    selectMenu_->addSeparator();
    addCommand("selectAllButFirst", QT_TR_NOOP("全部，除了最初重复项"), SelectCommand::AllButFirst);
    addCommand("selectAllButLast", QT_TR_NOOP("全部，除了最后重复项"), SelectCommand::AllButLast);

    // The copy menu is not shown anywhere; Ctrl+C on the duplicates list runs
    // its first item, the copy dialog offers all three.
    copyMenu_ = new QMenu(tr("复制到剪贴板"), this);
    copyMenu_->setObjectName(QStringLiteral("copyMenu"));
    copyCurrentAction_ = copyMenu_->addAction(tr("复制当前"), this, &MainWindow::copyCurrentSource);
    copyCurrentAction_->setObjectName(QStringLiteral("copyCurrent"));
    QAction* all = copyMenu_->addAction(tr("全部复制"), this, &MainWindow::copyAllSources);
    all->setObjectName(QStringLiteral("copyAll"));
    QAction* selected = copyMenu_->addAction(tr("全部复制所选"), this, &MainWindow::copySelectedSources);
    selected->setObjectName(QStringLiteral("copySelected"));

}

QToolButton* MainWindow::button(Control c) const { return qobject_cast<QToolButton*>(controls_[c]); }
LineListView* MainWindow::sourceList() const { return sourceList_; }
LineListView* MainWindow::dupsList() const { return dupsList_; }

void MainWindow::loadSettingsAndPlace()
{
    session_.debugMode = command_.debugMode;
    showButtons(buttonStates(session_));

    ScreenSize screen;
    QRect primaryArea;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        primaryArea = primary->availableGeometry();
        screen.widthTwips = primaryArea.width() * double(kTwipsPerPixel);
        screen.heightTwips = primaryArea.height() * double(kTwipsPerPixel);
    }
    loadSettings(settings_, screen);
    applyListFont();
    fillRecentMenu();

    // Placement as stored, kept on the screens. The stored size is the outer
    // one; the frame is not known before the window manager has decorated the
    // window, so the client size is settled again once it is (settleFrame).
    const WindowPlacement& place = settings_.mainWindow;
    const QRect stored(twipsToPixel(place.left), twipsToPixel(place.top), twipsToPixel(place.width),
                       twipsToPixel(place.height));
    const QRect frame = fitOnScreens(stored, availableScreenAreas(), primaryArea);
    move(frame.topLeft());
    pendingOuterSize_ = frame.size();
    resize(pendingOuterSize_ - frameExtent(this));


    applyWindowIcon(this, true);
}

void MainWindow::showAtStart()
{
    switch (settings_.mainWindow.state) {
    case WindowState::Maximized:
        showMaximized();
        break;
    case WindowState::Minimized:
        showMinimized();
        break;
    default:
        show();
        break;
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!activated_ && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { firstActivation(); });
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        settleFrame();
}

void MainWindow::firstActivation()
{
    if (activated_ || activating_)
        return;
    activating_ = true;
    settleFrame();
    setCaption(text::productVersion(session_.debugMode) + tr(kHelpCaptionSuffix).toStdString());
    setStatus(text::productVersion(session_.debugMode) + tr(kStartNotice).toStdString());
    setMinimumClientSize(this, kMainMinClientTwips, session_.debugMode);
    runCommandLine();
    activated_ = true;
    activating_ = false;
}

void MainWindow::runCommandLine()
{
    if (command_.action != CommandLine::Action::Run) {
        // A file manager's "open with" passes the file alone: it is scanned
        // as if dropped on the window. Options given with it (how to scan:
        // --max-memory, --encoding) hold for that scan; the stored ones stay.
        if (!command_.openFile.empty() && !reportUnopenable(command_.openFile)) {
            const Options stored = settings_.options;
            applyOverrides(command_.run, settings_.options);
            scan(command_.openFile);
            settings_.options = stored;
        }
        return;
    }
    const RunOutcome outcome = runUnattended(session_, command_.run);
    if (outcome == RunOutcome::Stopped)
        return;  // interactive from here on
    exitCode_ = exitStatus(outcome);
    // The window closes at once: a failure is said where the caller sees it.
    if (exitCode_ >= kExitUsage)
        std::fprintf(stderr, "quillow: %s\n", statusText().toUtf8().constData());
    close();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    settleFrame();
    recordPlacement();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    settleFrame();
}

void MainWindow::recordPlacement()
{
    if (!activated_ || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    // Measures that leave the 16-bit range keep their last value.
    const QRect f = frameGeometry();
    WindowPlacement& place = settings_.mainWindow;
    if (auto v = toInt16(f.x() * double(kTwipsPerPixel)))
        place.left = *v;
    if (auto v = toInt16(f.y() * double(kTwipsPerPixel)))
        place.top = *v;
    if (auto v = toInt16(f.width() * double(kTwipsPerPixel)))
        place.width = *v;
    if (auto v = toInt16(f.height() * double(kTwipsPerPixel)))
        place.height = *v;
}

void MainWindow::settleFrame()
{
    if (windowState() == Qt::WindowNoState)
        settleOuterSize(this, pendingOuterSize_);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (work_->running()) {
        // Long work asks to stop first; the window closes once it has.
        event->ignore();
        if (closeAfterWork_)
            return;
        if (!stopQuestion_) {
            closeAfterWork_ = true;
            return;
        }
        const char* question = stopQuestion_;
        work_->stopIf([&] {
            closeAfterWork_ =
                messageBox(text::translated(question), Icon::Question, Buttons::YesNo) == Answer::Yes;
            return closeAfterWork_;
        });
        return;
    }
    if (session_.busy) {
        event->ignore();
        return;
    }
    if (ended_) {
        event->accept();
        return;
    }
    if (!session_.unattended) {
        MainWindowPlacement placement;
        if (windowState() & Qt::WindowMinimized)
            placement.state = WindowState::Minimized;
        else if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            placement.state = WindowState::Maximized;
        placement.left = frameGeometry().x() * double(kTwipsPerPixel);
        placement.top = frameGeometry().y() * double(kTwipsPerPixel);
        saveSettings(settings_, placement);
    }
    restoreMinimumSize(this);
    event->accept();
    ended_ = true;
    emit programEnded(exitCode_);
}

// ---- buttons and menus ----

bool MainWindow::idle() const { return !session_.busy && !work_->running() && !ended_; }

void MainWindow::scan(const std::string& file)
{
    if (!idle() || !mayDropTicks())
        return;
    const ScanOutcome outcome = openFile(session_, file);
    if (outcome == ScanOutcome::Completed || outcome == ScanOutcome::EmptyFile) {
        rememberRecentFile(settings_, settings_.lastLoadedFile);
        fillRecentMenu();
    }
}

bool MainWindow::mayDropTicks()
{
    const int64_t ticked = result_.dups ? result_.dups->selectedCount() : 0;
    if (ticked == 0 || session_.unattended)
        return true;
    return messageBox(text::arg(text::translated(text::kRescanQuestion), std::to_string(ticked)), Icon::Question,
                      Buttons::YesNo) == Answer::Yes;
}

bool MainWindow::reportUnopenable(const std::string& file)
{
    // Missing, or a folder: what the open dialog says of a name it cannot
    // find. A file that cannot be read is left to the scan, which says why.
    if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).isFile())
        return false;
    messageBox(FileDialogs::missingFileText(file), Icon::Warning, Buttons::Ok);
    return true;
}

void MainWindow::onOpenClicked() { scan(std::string()); }

void MainWindow::onSaveClicked()
{
    if (idle())
        saveCleanedCopy(session_);
}

void MainWindow::onViewerClicked()
{
    if (!idle() || !result_.ready || result_.memoryPreserved)
        return;
    const std::vector<bool> before = result_.dups ? result_.dups->selection() : std::vector<bool>();
    viewerOpen_ = true;
    dialogs_.showViewer(session_, this);
    viewerOpen_ = false;
    dupsModel_->refreshChecks();
    pushSelectionChange(before, tr("查看器中的勾选"));
}

void MainWindow::onOptionsClicked()
{
    if (!idle())
        return;
    dialogs_.showOptionsDialog(session_, this);
    button(OpenButton)->setFocus();
}

void MainWindow::onAboutClicked()
{
    dialogs_.showAbout(settings_, session_.debugMode, [this](const std::string& url) { openDocument(url); }, this);
}

// ---- keys ----

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == this && handleKey(widget, static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleKey(QWidget* target, QKeyEvent* event)
{
    // The menu items carry the other buttons' keys; the Select button's
    // pops its menu up beside the button, as a click does.
    if (event->keyCombination() == (Qt::CTRL | Qt::Key_M)) {
        QToolButton* b = button(SelectButton);
        if (!b->isHidden() && b->isEnabled())
            b->click();
        return true;
    }
    const bool inList = target == sourceList_ || target == sourceList_->viewport() || target == dupsList_ ||
                        target == dupsList_->viewport();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A focused button takes Enter itself; in the duplicates list it
        // ticks the entry as Space does (never a new scan that would drop
        // the ticks); elsewhere in the window Open takes it.
        if (auto* b = qobject_cast<QAbstractButton*>(target)) {
            if (b->isEnabled())
                b->click();
            return true;
        }
        if (inList) {
            if (target == dupsList_ || target == dupsList_->viewport())
                toggleCurrentEntry();
            return true;
        }
        if (target != this && target != centralWidget())
            return false;
        QToolButton* open = button(OpenButton);
        if (!open->isHidden() && open->isEnabled()) {
            open->click();
            return true;
        }
        return false;
    }
    case Qt::Key_Escape: {
        QToolButton* stop = button(StopButton);
        if (!stop->isHidden() && stop->isEnabled()) {
            stop->click();
            return true;
        }
        return false;
    }
    default:
        break;
    }
    if (event->matches(QKeySequence::Copy)) {
        if (target == dupsList_ || target == dupsList_->viewport()) {
            copyCurrentSource();
            return true;
        }
        if (target == sourceList_ || target == sourceList_->viewport()) {
            onSourceRightClicked();
            return true;
        }
    }
    return false;
}

HelpWindow* MainWindow::helpWindow() const { return help_; }

void MainWindow::openHelp()
{
    if (!help_) {
        help_ = new HelpWindow(this);
        // Over the main window, as far as the screen allows.
        QRect place(QPoint(), help_->size());
        place.moveCenter(frameGeometry().center());
        if (const QScreen* here = screen())
            place = fitOnScreens(place, availableScreenAreas(), here->availableGeometry());
        help_->move(place.topLeft());
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

// ---- drops anywhere on the window ----

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dropFiles(event->mimeData());
}

}  // namespace quillow
