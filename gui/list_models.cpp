#include "gui/list_models.h"

#include "app/texts.h"
#include "gui/display_text.h"

#include <algorithm>
#include <climits>

namespace quillow {

namespace {

int clampRows(int64_t n) { return static_cast<int>(std::clamp<int64_t>(n, 0, INT_MAX)); }

}  // namespace

SourceListModel::SourceListModel(const ScanResult& result, QObject* parent)
    : QAbstractListModel(parent), result_(result)
{
}

void SourceListModel::reload()
{
    beginResetModel();
    lines_ = result_.source;
    placeholder_ = lines_ && lines_->released();
    shown_.emplace(result_.encoding.encoding);
    rows_ = placeholder_ ? 1 : lines_ ? clampRows(lines_->count()) : 0;
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

int SourceListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

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
    : QAbstractListModel(parent), result_(result), onCheck_(std::move(onCheck))
{
}

void DupsListModel::reload()
{
    beginResetModel();
    list_ = result_.dups;
    shown_.emplace(result_.encoding.encoding);
    rows_ = list_ && list_->sorted() ? clampRows(list_->count()) : 0;
    endResetModel();
}

void DupsListModel::refreshChecks()
{
    if (rows_ > 0)
        emit dataChanged(index(0), index(rows_ - 1), {Qt::CheckStateRole});
}

int DupsListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

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
