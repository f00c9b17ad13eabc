#include "gui/viewer_window.h"

#include "gui/display_text.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <exception>

#include "engine/selection.h"
#include "engine/text_util.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

constexpr int kStatusBarTwips = 375;
constexpr int16_t kStateNormal = 0;
constexpr int16_t kStateMaximized = 2;

constexpr const char* kLoading = "正载入，请稍等...";
constexpr const char* kUpdating = "正在更新所选项。请稍等...";
constexpr const char* kLinePrefix = "行    ";  // "行" and four blanks

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

}  // namespace

// --- ViewerModel ---------------------------------------------------------

ViewerModel::ViewerModel(QObject* parent) : QAbstractTableModel(parent) {}

void ViewerModel::fill(std::shared_ptr<const SourceLines> source, const DupsList* dups)
{
    beginResetModel();
    source_ = std::move(source);
    int64_t lines = source_ ? std::min<int64_t>(source_->ListCount(), INT_MAX) : 0;
    marks_.assign(static_cast<size_t>(lines), 0);
    if (dups) {
        const int64_t n = dups->ListCount();
        for (int64_t i = 0; i < n; ++i) {
            int64_t row = dups->lineNumber(i) - 1;
            if (row < 0 || row >= lines)
                continue;
            uint8_t& m = marks_[static_cast<size_t>(row)];
            m |= kDuplicate;
            if (dups->Selected(i))
                m |= kChecked;
        }
    }
    endResetModel();
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
            return displayText(source_->view(row));
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
    return setChecked(index.row(), value.toInt() == Qt::Checked);
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
        return QStringLiteral("Line");
    return {};
}

// --- frmView ---------------------------------------------------------------

frmView::frmView(ProgramState& state, Host& mainHost, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      state_(state),
      host_(mainHost)
{
    setObjectName("frmView");
    setWindowTitle(QStringLiteral("Quillow 查看器"));

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);

    model_ = new ViewerModel(this);
    lw_ = new QTableView(this);
    lw_->setObjectName("lw");
    lw_->setFont(font);
    lw_->setModel(model_);
    lw_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lw_->setSelectionMode(QAbstractItemView::SingleSelection);
    lw_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lw_->setShowGrid(false);
    lw_->setWordWrap(false);
    lw_->setCornerButtonEnabled(false);
    lw_->horizontalHeader()->setStretchLastSection(true);
    lw_->horizontalHeader()->setHighlightSections(false);
    lw_->horizontalHeader()->setSectionsClickable(false);
    // Uniform rows: the view then never measures rows, and ten million of
    // them cost a few bytes each.
    QHeaderView* rows = lw_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int indicator = lw_->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, lw_);
    const int rowHeight = std::max(QFontMetrics(font).height(), indicator) + 4;
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeight);

    StatusBar_ = new QStatusBar(this);
    StatusBar_->setObjectName("StatusBar");
    StatusBar_->setFixedHeight(twipsToPixel(kStatusBarTwips));
    statusLabel_ = new QLabel(StatusBar_);
    statusLabel_->setObjectName("StatusText");
    StatusBar_->addWidget(statusLabel_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lw_, 1);
    layout->addWidget(StatusBar_);

    connect(lw_, &QTableView::clicked, this, [this](const QModelIndex& i) { lw_ItemClick(i.row()); });
    connect(lw_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { lw_DblClick(); });
    // Moving through the rows with the keys shows their numbers too.
    connect(lw_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid())
                    lw_ItemClick(current.row());
            });

    Form_Load();
}

frmView::~frmView()
{
    if (hooked_)
        restoreMinimumSize(this);
}

QString frmView::statusText() const { return statusLabel_->text(); }

void frmView::setStatusText(const QString& text)
{
    statusLabel_->setText(text);
    statusLabel_->repaint();
}

bool frmView::normalState() const
{
    return (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

// Until the frame is known the client is sized as if there were no frame and
// the stored outer size is kept, both for settling the client size when the
// frame turns up and for recording, so the size never creeps by the frame
// from one opening to the next.
void frmView::settleFrame()
{
    if (normalState())
        settleOuterSize(this, pendingOuterSize_);
}

void frmView::Form_Load()
{
    move(twipsToPixel(state_.viewWinLeft), twipsToPixel(state_.viewWinTop));
    pendingOuterSize_ =
        QSize(std::max(1, twipsToPixel(state_.viewWinWidth)), std::max(1, twipsToPixel(state_.viewWinHeight)));
    resize(pendingOuterSize_);
    if (state_.viewWinState == kStateMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    applyWindowIcon(this, true);
    viewFilled_ = 0;
}

void frmView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    settleFrame();
    if (viewFilled_ == 0 && !unloaded_) {
        setStatusText(QString::fromUtf8(kLoading));
        // Filled once the window is on screen, so the loading text shows.
        QTimer::singleShot(0, this, &frmView::Form_Activate);
    }
}

void frmView::Form_Activate()
{
    if (viewFilled_ != 0 || unloaded_)
        return;
    host_.setPointer(Pointer::Hourglass);
    setStatusText(QString::fromUtf8(kLoading));
    if (!hooked_)
        hooked_ = setMinimumClientSize(this, kViewerMinClientTwips, state_.releaseMode);

    model_->fill(state_.sourceList, state_.dupsList.get());
    if (model_->rowCount() > 0) {
        lw_->setCurrentIndex(model_->index(0, 0));
        lw_ItemClick(0);
    }

    viewFilled_ = -1;
    host_.setPointer(Pointer::Default);
}

void frmView::lw_ItemClick(int row) { setStatusText(QString::fromUtf8(kLinePrefix) + QString::number(row + 1)); }

void frmView::lw_DblClick()
{
    QModelIndex current = lw_->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    if (model_->isDuplicate(row))
        model_->setChecked(row, !model_->isChecked(row));
}

void frmView::recordPlacement()
{
    const QRect frame = frameGeometry();
    const QSize outer = pendingOuterSize_.isValid() ? pendingOuterSize_ : frame.size();
    store16(state_.viewWinLeft, frame.x() * kTwipsPerPixel);
    store16(state_.viewWinTop, frame.y() * kTwipsPerPixel);
    store16(state_.viewWinWidth, outer.width() * kTwipsPerPixel);
    store16(state_.viewWinHeight, outer.height() * kTwipsPerPixel);
}

void frmView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // A normal window that was given another size than the one loaded (by
    // the user or the window system) is measured as it stands.
    if (pendingOuterSize_.isValid() && normalState() && isVisible() && event->size() != pendingOuterSize_)
        pendingOuterSize_ = QSize();
    settleFrame();
    if (normalState() && viewFilled_ == -1)
        recordPlacement();
}

void frmView::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    settleFrame();
}

void frmView::done(int result)
{
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void frmView::Form_Unload()
{
    if (state_.viewerOpen != -1) {
        attempt([&] {
            if (hooked_) {
                restoreMinimumSize(this);
                hooked_ = false;
            }
        });
        return;
    }
    attempt([&] {
        host_.setPointer(Pointer::Hourglass);
        setStatusText(QString::fromUtf8(kUpdating));
    });

    attempt([&] {
        if (normalState() && viewFilled_ == -1) {
            recordPlacement();
            state_.viewWinState = kStateNormal;
        } else if (windowState() & Qt::WindowMaximized) {
            state_.viewWinState = kStateMaximized;
        }
    });

    // Only rows that were filled carry marks: a viewer closed before its
    // rows were filled has nothing to write, and writing its empty marks
    // would clear every selection.
    attempt([&] {
        DupsList* dups = state_.dupsList.get();
        if (viewFilled_ != -1 || !dups)
            return;
        const int64_t n = dups->ListCount();
        const int rowCount = model_->rowCount();
        auto checkedAt = [&](int64_t i) {
            int64_t row = dups->lineNumber(i) - 1;
            return row >= 0 && row < rowCount && model_->isChecked(static_cast<int>(row));
        };
        if (state_.bigFile == -1) {
            int64_t count = 0;
            for (int64_t i = 0; i < n; ++i) {
                bool c = checkedAt(i);
                dups->SetSelected(i, c);
                count += c ? 1 : 0;
            }
            state_.selectedCount = static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
        } else {
            // Only real changes are written; each goes through the hand-check
            // handler, which keeps the count and the main status text.
            for (int64_t i = 0; i < n; ++i) {
                bool c = checkedAt(i);
                if (dups->Selected(i) != c) {
                    dups->SetSelected(i, c);
                    lstDups_ItemCheck(state_, host_, i);
                }
            }
            // The duplicates view repaints and makes entry 0 current.
            host_.selectionChanged();
        }
    });

    attempt([&] { host_.setStatus(selectionStatusText(state_)); });
    viewFilled_ = 0;
    attempt([&] {
        if (hooked_) {
            restoreMinimumSize(this);
            hooked_ = false;
        }
    });
    attempt([&] { host_.setPointer(Pointer::Default); });
}

void showViewer(ProgramState& state, Host& mainHost, QWidget* parent)
{
    frmView viewer(state, mainHost, parent);
    viewer.exec();
}

}  // namespace quillow
