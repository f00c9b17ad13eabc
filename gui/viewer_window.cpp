#include "gui/viewer_window.h"

#include "gui/display_text.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <exception>

#include "app/flows/select_flow.h"
#include "engine/text/text_util.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/screen_fit.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// Status texts; ViewerWindow::tr gives them in the interface language.
constexpr const char* kLoading = QT_TRANSLATE_NOOP("quillow::ViewerWindow", "正载入，请稍等...");
constexpr const char* kUpdating = QT_TRANSLATE_NOOP("quillow::ViewerWindow", "正在更新所选项。请稍等...");
constexpr const char* kLineStatus = QT_TRANSLATE_NOOP("quillow::ViewerWindow", "行    %1");  // "行", four blanks

const QColor kDuplicateColour(255, 0, 0);

// Stores a placement measure in twips when it fits the 16-bit setting.
void store16(int16_t& field, double twips)
{
    if (std::optional<int16_t> v = toInt16(twips))
        field = *v;
}

// Runs one closing step; a failure of one step does not stop the next.
template <typename F>
void attempt(F&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

// A highlighted duplicate row stays red: its highlight is a light tint of
// the highlight colour, on which red text can be read.
class DuplicateRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant foreground = index.data(Qt::ForegroundRole);
        if (!foreground.isValid() || !(option->state & QStyle::State_Selected))
            return;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            const QColor highlight = option->palette.color(group, QPalette::Highlight);
            const QColor base = option->palette.color(group, QPalette::Base);
            auto mix = [](int h, int b) { return (h * 35 + b * 65) / 100; };
            option->palette.setColor(group, QPalette::Highlight,
                                     QColor(mix(highlight.red(), base.red()), mix(highlight.green(), base.green()),
                                            mix(highlight.blue(), base.blue())));
            option->palette.setColor(group, QPalette::HighlightedText, foreground.value<QColor>());
        }
    }
};

}  // namespace

// --- ViewerModel ---------------------------------------------------------

ViewerModel::ViewerModel(QObject* parent) : QAbstractTableModel(parent) {}

std::vector<uint8_t> ViewerModel::marksFor(const SourceLines* source, const DupsList* dups)
{
    const int64_t lines = source ? std::min<int64_t>(source->count(), INT_MAX) : 0;
    std::vector<uint8_t> marks(static_cast<size_t>(lines), 0);
    if (dups) {
        const int64_t n = dups->count();
        for (int64_t i = 0; i < n; ++i) {
            const int64_t row = dups->lineNumber(i) - 1;
            if (row < 0 || row >= lines)
                continue;
            uint8_t& m = marks[static_cast<size_t>(row)];
            m |= kDuplicate;
            // A group's entries follow each other, its first line first.
            if (i == 0 || dups->group(i) != dups->group(i - 1))
                m |= kGroupStart;
            if (dups->isSelected(i))
                m |= kChecked;
        }
    }
    return marks;
}

void ViewerModel::fill(std::shared_ptr<const SourceLines> source, const DupsList* dups, const Encoding& encoding)
{
    std::vector<uint8_t> marks = marksFor(source.get(), dups);
    fill(std::move(source), std::move(marks), encoding);
}

void ViewerModel::fill(std::shared_ptr<const SourceLines> source, std::vector<uint8_t> marks, const Encoding& encoding)
{
    shown_.emplace(encoding);
    beginResetModel();
    source_ = std::move(source);
    marks_ = std::move(marks);
    endResetModel();
}

int ViewerModel::nextGroup(int row, bool forward) const
{
    const int n = rowCount();
    for (int r = forward ? row + 1 : row - 1; r >= 0 && r < n; r += forward ? 1 : -1)
        if (marks_[static_cast<size_t>(r)] & kGroupStart)
            return r;
    return -1;
}

bool ViewerModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= rowCount() || !isDuplicate(row))
        return false;
    uint8_t& m = marks_[static_cast<size_t>(row)];
    uint8_t next = checked ? (m | kChecked) : (m & ~kChecked);
    if (next != m) {
        m = next;
        QModelIndex i = index(row, 0);
        emit dataChanged(i, i, {Qt::CheckStateRole});
    }
    return true;
}

int ViewerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(marks_.size());
}

int ViewerModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant ViewerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        try {
            return displayLine(source_->view(row), *shown_);
        } catch (const std::exception&) {
            return QString();  // texts released: nothing to show
        }
    case Qt::ForegroundRole:
        if (isDuplicate(row))
            return kDuplicateColour;
        return {};
    case Qt::CheckStateRole:
        return isChecked(row) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool ViewerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    // A black row is unchecked again at once: only duplicates take a mark.
    const bool taken = setChecked(index.row(), value.toInt() == Qt::Checked);
    emit checkClicked(index.row());
    return taken;
}

Qt::ItemFlags ViewerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

QVariant ViewerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return tr("行");
    return {};
}

// --- ViewerWindow ---------------------------------------------------------------

ViewerWindow::ViewerWindow(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      session_(session),
      placement_(session.settings.viewerWindow),
      result_(session.result)
{
    setObjectName("viewerWindow");
    setWindowTitle(tr("Quillow 查看器"));

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);

    model_ = new ViewerModel(this);
    table_ = new QTableView(this);
    table_->setObjectName("lineTable");
    table_->setFont(font);
    table_->setModel(model_);
    table_->setItemDelegate(new DuplicateRowDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setShowGrid(false);
    table_->setWordWrap(false);
    table_->setCornerButtonEnabled(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->horizontalHeader()->setSectionsClickable(false);
    // Uniform rows: the view then never measures rows, and ten million of
    // them cost a few bytes each.
    QHeaderView* rows = table_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int indicator = table_->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, table_);
    const int rowHeight = std::max(QFontMetrics(font).height(), indicator) + 4;
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeight);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("statusBar");
    statusLabel_ = new QLabel(statusBar_);
    statusLabel_->setObjectName("statusText");
    statusBar_->addWidget(statusLabel_, 1);

    findBar_ = new FindBar(this);
    findBar_->hide();
    find_ = new FindController(
        findBar_,
        [this]() -> FindTarget {
            FindTarget target;
            std::shared_ptr<const SourceLines> lines = result_.source;
            if (!filled_ || !lines || lines->released())
                return target;
            target.view = table_;
            target.rows = model_->rowCount();
            target.anyThread = lines->inMemory();
            target.rowText = [lines, shown = ShownText(result_.encoding.encoding)](int64_t row,
                                                                                 std::string& scratch) mutable {
                return shown.line(lines->view(row), scratch);
            };
            return target;
        },
        this);
    connect(findBar_, &FindBar::closed, this, [this] {
        find_->stop();
        table_->setFocus();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_, 1);
    layout->addWidget(findBar_);
    layout->addWidget(statusBar_);
    addKeys();

    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& i) { showLineNumber(i.row()); });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { toggleCurrentRow(); });
    // A tick highlights its row, as a click on the text does.
    connect(model_, &ViewerModel::checkClicked, this,
            [this](int row) { table_->setCurrentIndex(model_->index(row, 0)); });
    // Moving through the rows with the keys shows their numbers too.
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid())
                    showLineNumber(current.row());
            });

    loadPlacement();
}

void ViewerWindow::addKeys()
{
    auto key = [this](const char* name, QList<QKeySequence> keys, auto handler) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        addAction(a);
    };
    key("find", QKeySequence::keyBindings(QKeySequence::Find), [this] {
        if (!filled_)
            return;
        const bool wasOpen = findBar_->isVisible();
        findBar_->open();
        if (!wasOpen)
            find_->restart();
    });
    key("findNext", {QKeySequence(Qt::Key_F3)}, [this] {
        if (findBar_->isVisible())
            find_->find(true);
    });
    key("findPrevious", {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, [this] {
        if (findBar_->isVisible())
            find_->find(false);
    });
    key("goToLine", {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { goToLine(); });
    key("nextGroup", {QKeySequence(Qt::Key_F8)}, [this] { goToGroup(true); });
    key("previousGroup", {QKeySequence(Qt::SHIFT | Qt::Key_F8)}, [this] { goToGroup(false); });
}

void ViewerWindow::goToRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    const QModelIndex index = model_->index(row, 0);
    table_->setCurrentIndex(index);
    table_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ViewerWindow::goToGroup(bool forward)
{
    if (!filled_)
        return;
    const QModelIndex current = table_->currentIndex();
    const int from = current.isValid() ? current.row() : (forward ? -1 : model_->rowCount());
    const int row = model_->nextGroup(from, forward);
    if (row >= 0)
        goToRow(row);
    else
        setStatusText(forward ? tr("后面没有更多重复组。") : tr("前面没有更多重复组。"));
}

void ViewerWindow::goToLine()
{
    const int rows = model_->rowCount();
    if (!filled_ || rows == 0)
        return;
    const QModelIndex current = table_->currentIndex();
    const std::optional<std::string> answer = session_.frontEnd.inputBox(
        tr("转到行 (1 - %1):").arg(rows).toStdString(), tr("转到行").toStdString(),
        std::to_string(current.isValid() ? current.row() + 1 : 1));
    if (!answer)
        return;
    bool ok = false;
    const int line = QString::fromStdString(*answer).trimmed().toInt(&ok);
    if (ok && line >= 1 && line <= rows)
        goToRow(line - 1);
    else
        setStatusText(tr("没有第 %1 行：文件有 %2 行。").arg(QString::fromStdString(*answer)).arg(rows));
}

ViewerWindow::~ViewerWindow()
{
    if (hooked_)
        restoreMinimumSize(this);
}

QString ViewerWindow::statusText() const { return statusLabel_->text(); }

void ViewerWindow::setStatusText(const QString& text)
{
    statusLabel_->setText(text);
    statusLabel_->repaint();
}

bool ViewerWindow::normalState() const
{
    return (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

// Until the frame is known the client is sized as if there were no frame and
// the stored outer size is kept, both for settling the client size when the
// frame turns up and for recording, so the size never creeps by the frame
// from one opening to the next.
void ViewerWindow::settleFrame()
{
    if (normalState())
        settleOuterSize(this, pendingOuterSize_);
}

void ViewerWindow::loadPlacement()
{
    // Kept on the screens; a place on none of them moves to the main window's screen.
    const QRect stored(twipsToPixel(placement_.left), twipsToPixel(placement_.top),
                       std::max(1, twipsToPixel(placement_.width)), std::max(1, twipsToPixel(placement_.height)));
    const QScreen* ownerScreen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect frame =
        fitOnScreens(stored, availableScreenAreas(), ownerScreen ? ownerScreen->availableGeometry() : QRect());
    move(frame.topLeft());
    pendingOuterSize_ = frame.size();
    resize(pendingOuterSize_);
    if (placement_.state == WindowState::Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    applyWindowIcon(this, true);
}

void ViewerWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    settleFrame();
    if (!filled_ && !unloaded_) {
        setStatusText(tr(kLoading));
        // Filled once the window is on screen, so the loading text shows.
        QTimer::singleShot(0, this, &ViewerWindow::fill);
    }
}

void ViewerWindow::fill()
{
    if (filled_ || unloaded_)
        return;
    setStatusText(tr(kLoading));
    if (!hooked_)
        hooked_ = setMinimumClientSize(this, kViewerMinClientTwips, session_.debugMode);

    // Which rows are red and checked is worked out off the GUI thread.
    std::vector<uint8_t> marks;
    const SourceLines* source = result_.source.get();
    const DupsList* dups = result_.dups.get();
    session_.frontEnd.runWork(nullptr, [&](Work&) { marks = ViewerModel::marksFor(source, dups); });
    model_->fill(result_.source, std::move(marks), result_.encoding.encoding);
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, 0));
        showLineNumber(0);
    }
    filled_ = true;
}

void ViewerWindow::showLineNumber(int row) { setStatusText(tr(kLineStatus).arg(row + 1)); }

void ViewerWindow::toggleCurrentRow()
{
    QModelIndex current = table_->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    if (model_->isDuplicate(row))
        model_->setChecked(row, !model_->isChecked(row));
}

void ViewerWindow::recordPlacement()
{
    const QRect frame = frameGeometry();
    const QSize outer = pendingOuterSize_.isValid() ? pendingOuterSize_ : frame.size();
    store16(placement_.left, frame.x() * kTwipsPerPixel);
    store16(placement_.top, frame.y() * kTwipsPerPixel);
    store16(placement_.width, outer.width() * kTwipsPerPixel);
    store16(placement_.height, outer.height() * kTwipsPerPixel);
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // A normal window that was given another size than the one loaded (by
    // the user or the window system) is measured as it stands.
    if (pendingOuterSize_.isValid() && normalState() && isVisible() && event->size() != pendingOuterSize_)
        pendingOuterSize_ = QSize();
    settleFrame();
    if (normalState() && filled_)
        recordPlacement();
}

void ViewerWindow::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    settleFrame();
}

void ViewerWindow::done(int result)
{
    find_->stop();
    if (!unloaded_) {
        unloaded_ = true;
        writeBack();
    }
    QDialog::done(result);
}

void ViewerWindow::writeBack()
{
    attempt([&] { setStatusText(tr(kUpdating)); });

    attempt([&] {
        if (normalState() && filled_) {
            recordPlacement();
            placement_.state = WindowState::Normal;
        } else if (windowState() & Qt::WindowMaximized) {
            placement_.state = WindowState::Maximized;
        }
    });

    // Only rows that were filled carry marks: a viewer closed before its
    // rows were filled has nothing to write, and writing its empty marks
    // would clear every selection.
    attempt([&] {
        if (!filled_)
            return;
        const int rowCount = model_->rowCount();
        applyLineMarks(session_, [&](int64_t row) {
            return row >= 0 && row < rowCount && model_->isChecked(static_cast<int>(row));
        });
    });

    attempt([&] { session_.frontEnd.setStatus(selectionStatusText(result_)); });
    filled_ = false;
    attempt([&] {
        if (hooked_) {
            restoreMinimumSize(this);
            hooked_ = false;
        }
    });
}

}  // namespace quillow
