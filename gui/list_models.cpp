#include "gui/list_models.h"

#include <QTimer>

#include "app/texts.h"
#include "gui/display_text.h"

#include <algorithm>
#include <climits>

namespace quillow {

namespace {

int clampRows(int64_t n) { return static_cast<int>(std::clamp<int64_t>(n, 0, INT_MAX)); }

// Rows added in one turn of the event loop.
constexpr int kRowsPerStep = 1 << 18;

}  // namespace

void GrowingListModel::resetRows(int total)
{
    total_ = total;
    rows_ = std::min(total, kRowsPerStep);
    const uint64_t generation = ++generation_;
    if (rows_ < total_)
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == generation_)
                grow();
        });
}

void GrowingListModel::grow()
{
    const int next = std::min(total_, rows_ + kRowsPerStep);
    beginInsertRows(QModelIndex(), rows_, next - 1);
    rows_ = next;
    endInsertRows();
    const uint64_t generation = generation_;
    if (rows_ < total_)
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == generation_)
                grow();
        });
}

void GrowingListModel::showRows(int64_t row)
{
    if (row < rows_ || rows_ >= total_)
        return;
    const int next = static_cast<int>(std::min<int64_t>(total_, row + 1));
    beginInsertRows(QModelIndex(), rows_, next - 1);
    rows_ = next;
    endInsertRows();
}

SourceListModel::SourceListModel(const ScanResult& result, QObject* parent)
    : GrowingListModel(parent), result_(result)
{
}

void SourceListModel::reload()
{
    beginResetModel();
    lines_ = result_.source;
    placeholder_ = lines_ && lines_->released();
    shown_.emplace(result_.encoding.encoding);
    resetRows(placeholder_ ? 1 : lines_ ? clampRows(lines_->count()) : 0);
    endResetModel();
}

std::string SourceListModel::rowText(int row) const
{
    if (row < 0 || row >= rows_)
        return std::string();
    if (placeholder_)
        return text::translated(text::kNoPreview);
    std::string scratch;
    return std::string(shown_->line(lines_->view(row), scratch));
}

QVariant SourceListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return QVariant();
    if (placeholder_)
        return QString::fromStdString(text::translated(text::kNoPreview));
    return displayLine(lines_->view(index.row()), *shown_);
}

Qt::ItemFlags SourceListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

DupsListModel::DupsListModel(const ScanResult& result, std::function<void(int64_t)> onCheck, QObject* parent)
    : GrowingListModel(parent), result_(result), onCheck_(std::move(onCheck))
{
}

void DupsListModel::reload()
{
    beginResetModel();
    list_ = result_.dups;
    shown_.emplace(result_.encoding.encoding);
    resetRows(list_ && list_->sorted() ? clampRows(list_->count()) : 0);
    endResetModel();
}

void DupsListModel::refreshChecks()
{
    if (rows_ > 0)
        emit dataChanged(index(0), index(rows_ - 1), {Qt::CheckStateRole});
}

void DupsListModel::refreshRow(int row)
{
    if (row >= 0 && row < rows_)
        emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

QVariant DupsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(shown_->asIs() ? list_->text(index.row()) : shown_->entry(*list_, index.row()));
    case Qt::CheckStateRole:
        return list_->isSelected(index.row()) ? Qt::Checked : Qt::Unchecked;
    default:
        return QVariant();
    }
}

bool DupsListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rows_)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (list_->isSelected(index.row()) == checked)
        return true;
    list_->setSelected(index.row(), checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    if (onCheck_)
        onCheck_(index.row());
    return true;
}

Qt::ItemFlags DupsListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

}  // namespace quillow
