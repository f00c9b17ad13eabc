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

#include "app/scan_result.h"
#include "engine/text/shown_text.h"

namespace quillow {

class SourceListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit SourceListModel(const ScanResult& result, QObject* parent = nullptr);

    // Takes the current source list (or the placeholder) from the scan result.
    void reload();
    bool isPlaceholder() const { return placeholder_; }
    // The row's text as shown (UTF-8; a UTF-8 file's line as its bytes), or the placeholder.
    std::string rowText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ScanResult& result_;
    std::shared_ptr<const SourceLines> lines_;
    mutable std::optional<ShownText> shown_;  // decodes the rows
    int rows_ = 0;
    bool placeholder_ = false;
};

class DupsListModel : public QAbstractListModel {
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ScanResult& result_;
    std::function<void(int64_t)> onCheck_;
    std::shared_ptr<DupsList> list_;
    mutable std::optional<ShownText> shown_;
    int rows_ = 0;
};

}  // namespace quillow
