#pragma once
// Qt models over the engine's two lists, so the views copy nothing: the
// source list shows every line of the scanned file, the duplicates list one
// check-box row per entry, at every size. Once the line texts were released
// to save memory the source list shows a single placeholder row. Each model
// keeps its own reference to the holder it was reset on and a fixed row
// count, so the engine may replace or grow the holders while a scan runs;
// the views follow at the next reload().
#include <QAbstractListModel>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/dedup/scan_result.h"
#include "engine/text/shown_text.h"

namespace quillow {

// A list model that shows a long list in steps: the first rows at once, the
// rest a quarter of a million at a time in later turns of the event loop, so
// a view of ten million rows never holds the window still for long.
class GrowingListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : rows_; }
    // True once every row is shown.
    bool complete() const { return rows_ == total_; }
    // Shows the rows up to row now (find and go to line jump ahead of the steps).
    void showRows(int64_t row);

protected:
    // Call between beginResetModel and endResetModel with the rows to show.
    void resetRows(int total);
    int rows_ = 0;

private:
    void grow();
    int total_ = 0;
    uint64_t generation_ = 0;
};

class SourceListModel : public GrowingListModel {
    Q_OBJECT
public:
    explicit SourceListModel(const ScanResult& result, QObject* parent = nullptr);

    // Takes the current source list (or the placeholder) from the scan result.
    void reload();
    bool isPlaceholder() const { return placeholder_; }
    // The row's text as shown (UTF-8; a UTF-8 file's line as its bytes), or the placeholder.
    std::string rowText(int row) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ScanResult& result_;
    std::shared_ptr<const SourceLines> lines_;
    mutable std::optional<ShownText> shown_;  // decodes the rows
    bool placeholder_ = false;
};

class DupsListModel : public GrowingListModel {
    Q_OBJECT
public:
    // onCheck runs after the user changed the check box of a row, with the
    // entry's flag already holding the new state.
    DupsListModel(const ScanResult& result, std::function<void(int64_t)> onCheck, QObject* parent = nullptr);

    // Takes the current duplicates list from the scan result. A list still
    // in its working form (a scan running or interrupted) shows no rows.
    void reload();
    // The selected flags changed in bulk: repaint the check boxes.
    void refreshChecks();
    // One entry's flag changed.
    void refreshRow(int row);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ScanResult& result_;
    std::function<void(int64_t)> onCheck_;
    std::shared_ptr<DupsList> list_;
    mutable std::optional<ShownText> shown_;
};

}  // namespace quillow
