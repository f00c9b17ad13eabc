#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "engine/command_line.h"
#include "engine/gnu_options.h"
#include "gui/list_models.h"
#include "gui/main_window_internal.h"
#include "engine/settings_store.h"
#include "engine/save.h"
#include "engine/line_filter.h"
#include "engine/scan.h"
#include "engine/text_util.h"
#include "gui/progress_bar.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

int exitStatusFor(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Written:
    case RunOutcome::DuplicatesFound:
        return 0;
    case RunOutcome::NothingToDo:
        return 1;
    case RunOutcome::InputError:
        return 2;
    case RunOutcome::OutputError:
        return 3;
    case RunOutcome::NotRun:
    case RunOutcome::Stopped:
        break;
    }
    return 0;
}

bool isFile(const std::string& path)
{
    QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path)));
    return info.exists() && info.isFile();
}

}  // namespace

// All rows are one line high and the view asks only one row for its size;
// that row is the longest one, so the horizontal scroll range covers every
// line instead of just the first.
class WidestRowDelegate : public QStyledItemDelegate {
public:
    WidestRowDelegate(std::function<int()> widestRow, QObject* parent)
        : QStyledItemDelegate(parent), widestRow_(std::move(widestRow))
    {
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QModelIndex widest = index.siblingAtRow(widestRow_());
        return QStyledItemDelegate::sizeHint(option, widest.isValid() ? widest : index);
    }

private:
    std::function<int()> widestRow_;
};

MainWindow::MainWindow(ProgramState& state, Dialogs& dialogs, std::vector<std::string> args, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), args_(std::move(args))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillow"));
    buildControls();
    Form_Load();
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    while (overrideCursors_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --overrideCursors_;
    }
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
        double top;
    };
    const ButtonDef buttons[] = {
        {Scan, "cmdScan", "打开", "打开一个文本文档，扫描重复行。", "open", 120},
        {Stop, "cmdStop", "取消", "停止处理！", "stop", 120},
        {Save, "cmdSave", "另存为", "保存为没有所选重复项的文件。", "save", 960},
        {Select, "cmdSelect", "选择", "使用不同方法选择重复项。在你保存文件时无法选择重复项。", "select", 1800},
        {View, "cmdView", "查看器", "查看用红色标记为重复行的文件", "view", 2640},
        {Settings, "cmdSettings", "选项", "编辑选项。", "options", 3480},
        {About, "cmdAbout", " 关于 ", "显示关于 Quillow 的信息。", "about", 4320},
    };
    for (const ButtonDef& d : buttons) {
        auto* b = new QToolButton(client);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setText(QString::fromUtf8(d.caption));
        b->setToolTip(QString::fromUtf8(d.tip));
        b->setIcon(buttonIcon(QString::fromLatin1(d.picture)));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFocusPolicy(Qt::StrongFocus);
        controls_[d.id] = b;
        place(d.id, {120, d.top, 855, 735});
    }
    button(Stop)->hide();

    auto* pic = new QFrame(client);
    pic->setObjectName(QStringLiteral("picProgressbar"));
    pic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    controls_[Progress] = pic;
    place(Progress, {120, 5160, 855, 615});

    auto* lbl1 = new QLabel(QStringLiteral("来源文件:"), client);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    controls_[Lbl1] = lbl1;
    place(Lbl1, {1140, 120, 1215, 255});

    auto* lbl2 = new QLabel(QStringLiteral("找到重复项:"), client);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    controls_[Lbl2] = lbl2;
    place(Lbl2, {1140, 3000, 1455, 255});

    auto setUpList = [&](LineListView* v, const char* name, const char* tip) {
        v->setObjectName(QString::fromLatin1(name));
        v->setToolTip(QString::fromUtf8(tip));
        v->setUniformItemSizes(true);
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setContextMenuPolicy(Qt::PreventContextMenu);
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    };

    lstShow_ = new LineListView(client);
    setUpList(lstShow_, "lstShow", "显示来源文件。右键点击复制高亮行。");
    sourceModel_ = new SourceListModel(state_, this);
    lstShow_->setModel(sourceModel_);
    lstShow_->setItemDelegate(new WidestRowDelegate([this] { return sourceModel_->widestRow(); }, lstShow_));
    lstShow_->setAcceptDrops(true);
    lstShow_->viewport()->setAcceptDrops(true);
    lstShow_->setDragDropMode(QAbstractItemView::DropOnly);
    lstShow_->onRightClick = [this] { lstShow_RightClick(); };
    lstShow_->acceptsDrop = [this](const QMimeData* d) { return acceptsDrop(d); };
    lstShow_->onDrop = [this](const QMimeData* d) { lstShow_OLEDragDrop(d); };
    controls_[Show] = lstShow_;
    place(Show, {1140, 360, 5175, 2460});

    lstDups_ = new LineListView(client);
    setUpList(lstDups_, "lstDups", "显示找到的重复项。右键点击弹出复制选项。");
    dupsModel_ = new DupsListModel(state_, [this](int64_t row) { lstDups_ItemCheck(state_, *this, row); }, this);
    lstDups_->setModel(dupsModel_);
    lstDups_->setItemDelegate(new WidestRowDelegate([this] { return dupsModel_->widestRow(); }, lstDups_));
    lstDups_->setAcceptDrops(false);
    lstDups_->onRightClick = [this] { lstDups_RightClick(); };
    connect(lstDups_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    lstDups_Click(current.row());
            });
    connect(lstDups_, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { lstDups_Click(i.row()); });
    controls_[Dups] = lstDups_;
    place(Dups, {1140, 3240, 5175, 2475});

    // Tab order as the classic window has it; the labels and the progress bar
    // take no focus.
    for (int c = Scan; c < About; ++c)
        setTabOrder(controls_[c], controls_[c + 1]);
    setTabOrder(controls_[About], lstShow_);
    setTabOrder(lstShow_, lstDups_);

    connect(button(Scan), &QToolButton::clicked, this, &MainWindow::cmdScan_Click);
    connect(button(Stop), &QToolButton::clicked, this, &MainWindow::cmdStop_Click);
    connect(button(Save), &QToolButton::clicked, this, &MainWindow::cmdSave_Click);
    connect(button(Select), &QToolButton::clicked, this, &MainWindow::cmdSelect_Click);
    connect(button(View), &QToolButton::clicked, this, &MainWindow::cmdView_Click);
    connect(button(Settings), &QToolButton::clicked, this, &MainWindow::cmdSettings_Click);
    connect(button(About), &QToolButton::clicked, this, &MainWindow::cmdAbout_Click);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("StatusBar"));
    statusLabel_->setTextFormat(Qt::PlainText);
    // A long text is cut at the window's edge instead of widening the window.
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(statusLabel_, 1);

    mnuSelect_ = new QMenu(QStringLiteral("选择"), this);
    mnuSelect_->setObjectName(QStringLiteral("mnuSelect"));
    auto addCommand = [this](const char* name, const char* caption, SelectCommand command) {
        QAction* a = mnuSelect_->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, command] { runSelectCommand(command); });
    };
    addCommand("mnuSelAll", "全选", SelectCommand::All);
    addCommand("mnuUnsel", "不选", SelectCommand::None);
    mnuSelect_->addSeparator();
    addCommand("mnuInvert", "反选", SelectCommand::Invert);
    mnuSelect_->addSeparator();
    addCommand("mnuSelAllButFirst", "全部，除了最初重复项", SelectCommand::AllButFirst);
    addCommand("mnuSelAllButLast", "全部，除了最后重复项", SelectCommand::AllButLast);

    // The copy menu is not shown anywhere; Ctrl+C on the duplicates list runs
    // its first item, the copy dialog offers all three.
    mnuCopy_ = new QMenu(QStringLiteral("复制到剪贴板"), this);
    mnuCopy_->setObjectName(QStringLiteral("mnuCopy"));
    mnuCopyCurrent_ = mnuCopy_->addAction(QStringLiteral("复制当前"), this, &MainWindow::mnuCopyCurrent_Click);
    mnuCopyCurrent_->setObjectName(QStringLiteral("mnuCopyCurrent"));
    QAction* all = mnuCopy_->addAction(QStringLiteral("全部复制"), this, &MainWindow::mnuCopyAll_Click);
    all->setObjectName(QStringLiteral("mnuCopyAll"));
    QAction* selected = mnuCopy_->addAction(QStringLiteral("全部复制所选"), this, &MainWindow::mnuCopySelected_Click);
    selected->setObjectName(QStringLiteral("mnuCopySelected"));

    progressBar_ = new ProgressBar(this);

    flushTimer_ = new QTimer(this);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(kDisplayInterval));
    connect(flushTimer_, &QTimer::timeout, this, &MainWindow::flushDisplay);
}

void MainWindow::place(Control c, const TwipRect& r)
{
    rects_[c] = r;
    applyGeometry(c);
}

void MainWindow::applyGeometry(Control c)
{
    const TwipRect& r = rects_[c];
    placeTwips(controls_[c], r.left, r.top, r.width, r.height);
}

QToolButton* MainWindow::button(Control c) const { return qobject_cast<QToolButton*>(controls_[c]); }
QListView* MainWindow::lstShow() const { return lstShow_; }
QListView* MainWindow::lstDups() const { return lstDups_; }

void MainWindow::Form_Load()
{
    state_.releaseMode = argumentText(args_).find("DEBUG_MODE") != std::string::npos ? 0 : -1;
    state_.appName = "Quillow";
    state_.appVersion = QUILLOW_VERSION;
    if (state_.releaseMode == 0)
        state_.appVersion += " Debug Version";
    state_.firstActivation = -1;
    showButtons(buttonStates(state_));

    ScreenSize screen;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect area = primary->availableGeometry();
        screen.widthTwips = area.width() * double(kTwipsPerPixel);
        screen.heightTwips = area.height() * double(kTwipsPerPixel);
    }
    LoadSettings(state_, screen);
    InitRegExp(state_);
    // The keyed set is linked into the program; there is nothing to check.

    // Placement, taken as stored. The stored size is the outer one; the frame
    // is not known before the window manager has decorated the window, so
    // the client size is settled again once it is (settleFrame).
    move(twipsToPixel(state_.winLeft), twipsToPixel(state_.winTop));
    pendingOuterSize_ = QSize(twipsToPixel(state_.winWidth), twipsToPixel(state_.winHeight));
    resize(pendingOuterSize_ - frameExtent(this));

    state_.viewerOpen = 0;

    progressBar_->setWidget(controls_[Progress]);
    progressBar_->setBackgroundRole(QPalette::Button);
    progressBar_->setBarRole(QPalette::Highlight);
    progressBar_->setBorderStyle(ProgressBar::BorderStyle::None);
    barMin_ = progressBar_->minimum();
    barMax_ = progressBar_->maximum();
    barValue_ = progressBar_->value();

    applyWindowIcon(this, true);
}

void MainWindow::showAtStart()
{
    switch (state_.winState) {
    case 2:
        showMaximized();
        break;
    case 1:
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
    if (state_.firstActivation == -1 && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        settleFrame();
}

void MainWindow::Form_Activate()
{
    if (state_.firstActivation != -1 || activating_)
        return;
    activating_ = true;
    settleFrame();
    setCaption(state_.appName + " " + state_.appVersion + kHelpCaptionSuffix);
    setStatus(state_.appName + " " + state_.appVersion + kStartNotice);
    state_.bigFile = 0;
    setMinimumClientSize(this, kMainMinClientTwips, state_.releaseMode);
    runCommandLine();
    state_.firstActivation = 0;
    activating_ = false;
}

void MainWindow::runCommandLine()
{
    if (usesGnuSyntax(args_)) {
        // "DEBUG_MODE" is a marker, not the input file.
        std::vector<std::string> args;
        for (const std::string& a : args_)
            if (a != "DEBUG_MODE")
                args.push_back(a);
        GnuOptions options = parseGnuOptions(args);
        // Help, version, errors and the terminal-only forms are answered
        // before the window opens; what is left here is a run.
        if (options.action != GnuOptions::Action::Run || options.inputIsStdin || options.outputIsStdout)
            return;
        applyGnuOptions(options, state_);
    } else {
        ParseCommandLine(state_, argumentText(args_));
    }
    const RunOutcome outcome = RunCommandLine(state_, *this);
    if (outcome == RunOutcome::Stopped)
        return;  // interactive from here on
    if (outcome == RunOutcome::NotRun) {
        // A file manager's "open with" passes the file alone: it is scanned
        // as if dropped on the window.
        if (args_.size() == 1 && !usesGnuSyntax(args_) && isFile(args_[0])) {
            state_.droppedFile = args_[0];
            quillow::cmdScan_Click(state_, *this);
        }
        return;
    }
    exitCode_ = exitStatusFor(outcome);
    close();
}

void MainWindow::Form_Resize(double H, double W)
{
    // A negative size is refused, as the window system refuses it; the
    // other assignments still take place.
    auto setSize = [](double& field, double value) {
        if (value >= 0)
            field = value;
    };
    TwipRect& show = rects_[Show];
    TwipRect& dups = rects_[Dups];
    TwipRect& lbl2 = rects_[Lbl2];
    TwipRect& prog = rects_[Progress];
    setSize(show.height, H / 2 - 620);
    dups.top = show.top + show.height + 400;
    setSize(dups.height, show.height);
    lbl2.top = dups.top - 250;
    setSize(prog.height, H - prog.top - 480);
    setSize(show.width, W - 1250);
    setSize(dups.width, show.width);
    for (Control c : {Show, Dups, Lbl2, Progress})
        applyGeometry(c);
    recordPlacement();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    settleFrame();
    Form_Resize(height() * double(kTwipsPerPixel), width() * double(kTwipsPerPixel));
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    settleFrame();
}

void MainWindow::recordPlacement()
{
    if (state_.firstActivation != 0 || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized |
                                                         Qt::WindowFullScreen)))
        return;
    // Measures that leave the 16-bit range keep their last value.
    const QRect f = frameGeometry();
    if (auto v = toInt16(f.x() * double(kTwipsPerPixel)))
        state_.winLeft = *v;
    if (auto v = toInt16(f.y() * double(kTwipsPerPixel)))
        state_.winTop = *v;
    if (auto v = toInt16(f.width() * double(kTwipsPerPixel)))
        state_.winWidth = *v;
    if (auto v = toInt16(f.height() * double(kTwipsPerPixel)))
        state_.winHeight = *v;
}

void MainWindow::settleFrame()
{
    if (windowState() == Qt::WindowNoState)
        settleOuterSize(this, pendingOuterSize_);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (state_.isBusy) {
        event->ignore();
        return;
    }
    if (ended_) {
        event->accept();
        return;
    }
    if (state_.cmdLineMode == 0) {
        MainWindowPlacement placement;
        if (windowState() & Qt::WindowMinimized)
            placement.state = WindowState::Minimized;
        else if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            placement.state = WindowState::Maximized;
        placement.left = frameGeometry().x() * double(kTwipsPerPixel);
        placement.top = frameGeometry().y() * double(kTwipsPerPixel);
        SaveSettings(state_, placement);
    }
    restoreMinimumSize(this);
    setPointer(Pointer::Default);
    event->accept();
    ended_ = true;
    emit programEnded(exitCode_);
}

// ---- buttons and menus ----

void MainWindow::cmdScan_Click()
{
    if (state_.isBusy)
        return;
    quillow::cmdScan_Click(state_, *this);
}

void MainWindow::cmdStop_Click() { state_.stopRequested = -1; }

void MainWindow::cmdSave_Click()
{
    if (state_.isBusy)
        return;
    quillow::cmdSave_Click(state_, *this);
}

void MainWindow::cmdView_Click()
{
    state_.viewerOpen = -1;
    dialogs_.showViewer(state_, *this, this);
    state_.viewerOpen = 0;
    dupsModel_->refreshChecks();
}

void MainWindow::cmdSettings_Click()
{
    dialogs_.showSettingsDialog(state_, *this, this);
    button(Scan)->setFocus();
}

void MainWindow::cmdAbout_Click() { dialogs_.showAbout(state_, *this, this); }

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
    switch (event->key()) {
    case Qt::Key_F1:
        openHelp();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A focused button takes Enter itself; anywhere else Open does.
        if (auto* b = qobject_cast<QAbstractButton*>(target)) {
            if (b->isEnabled())
                b->click();
            return true;
        }
        QToolButton* open = button(Scan);
        if (!open->isHidden() && open->isEnabled()) {
            open->click();
            return true;
        }
        return false;
    }
    case Qt::Key_Escape: {
        QToolButton* stop = button(Stop);
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
        if (target == lstDups_ || target == lstDups_->viewport()) {
            mnuCopyCurrent_Click();
            return true;
        }
        if (target == lstShow_ || target == lstShow_->viewport()) {
            lstShow_RightClick();
            return true;
        }
    }
    return false;
}

std::string MainWindow::helpDocumentPath()
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help.html"));
    if (QFileInfo::exists(beside))
        return toStdPath(beside);
    // An installed tree moved as a whole keeps bin/ and share/ side by side.
    const QString relative =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/quillow/Help.html"));
    if (QFileInfo::exists(relative))
        return toStdPath(QFileInfo(relative).canonicalFilePath());
#ifdef QUILLOW_HELP_DIR
    const QString installed = QDir(QStringLiteral(QUILLOW_HELP_DIR)).filePath(QStringLiteral("Help.html"));
    if (QFileInfo::exists(installed))
        return toStdPath(installed);
#endif
    // The copy built into the program, written where the desktop can open it.
    const QString bundled = resourcePath(QStringLiteral("Help.html"));
    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (QFile::exists(bundled) && !cacheDir.isEmpty()) {
        const QString target = QDir(cacheDir).filePath(QStringLiteral("quillow/Help.html"));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (QFile::copy(bundled, target)) {
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            return toStdPath(target);
        }
    }
    return toStdPath(beside);
}

void MainWindow::openHelp()
{
    const std::string path = helpDocumentPath();
    if (!isFile(path)) {
        if (state_.cmdLineMode != -1)
            messageBox("找不到帮助文档 " + path + "。", mb::Exclamation);
        return;
    }
    openDocument(path);
}

}  // namespace quillow
