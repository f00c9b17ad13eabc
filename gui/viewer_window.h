#pragma once
// The viewer: the whole scanned file, one row per line, duplicate lines in red
// with a check box that marks the occurrence for deletion. The rows are a
// model over the source list; a byte per line holds the red and checked
// states, written back into the duplicates list when the viewer closes.
#include <QAbstractTableModel>
#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/session.h"
#include "engine/dedup/scan_result.h"
#include "app/settings/settings.h"
#include "engine/text/shown_text.h"

class QLabel;
class QStatusBar;
class QTableView;

namespace quillow {

class FindBar;
class FindController;

class ViewerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ViewerModel(QObject* parent = nullptr);

    // One row per source line; rows of lines that have a duplicates entry are
    // red, and checked where that entry is selected.
    void fill(std::shared_ptr<const SourceLines> source, const DupsList* dups, const Encoding& encoding = Encoding());
    // The same with the rows' marks worked out beforehand (marksFor, on a worker).
    void fill(std::shared_ptr<const SourceLines> source, std::vector<uint8_t> marks, const Encoding& encoding);
    static std::vector<uint8_t> marksFor(const SourceLines* source, const DupsList* dups);

    bool isDuplicate(int row) const { return (marks_[static_cast<size_t>(row)] & kDuplicate) != 0; }
    // The row of the first line of a duplicate group (a group's first entry).
    bool startsGroup(int row) const { return (marks_[static_cast<size_t>(row)] & kGroupStart) != 0; }
    // The next (or previous) row that starts a group, from row; -1 when none.
    int nextGroup(int row, bool forward) const;
    bool isChecked(int row) const { return (marks_[static_cast<size_t>(row)] & kChecked) != 0; }
    // Sets the check mark of a red row; black rows stay unchecked (false).
    bool setChecked(int row, bool checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The user ticked or unticked the row's box (a black row's box too,
    // although it stays unticked).
    void checkClicked(int row);

private:
    // Constants, not an enum with a base type: lupdate's parser loses the
    // namespace after one, and with it the context of ViewerWindow's texts.
    static constexpr uint8_t kDuplicate = 1, kChecked = 2, kGroupStart = 4;
    std::shared_ptr<const SourceLines> source_;
    mutable std::optional<ShownText> shown_;  // decodes the rows
    std::vector<uint8_t> marks_;
};

class ViewerWindow : public QDialog {
    Q_OBJECT
public:
    // The placement is read from and written to the session's
    // settings.viewerWindow; closing writes the check marks back as the
    // selection.
    explicit ViewerWindow(Session& session, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    // Fills the rows. Runs once; showing the window schedules it, tests may
    // call it directly.
    void fill();
    bool filled() const { return filled_; }

    QTableView* listView() const { return table_; }
    ViewerModel* model() const { return model_; }
    QString statusText() const;
    FindBar* findBar() const { return findBar_; }
    FindController* finder() const { return find_; }

    // F8 / Shift+F8: the next or previous duplicate group's first line.
    void goToGroup(bool forward);
    // Ctrl+G: a line asked for by number.
    void goToLine();

    // The parts of the closing that a test drives without a modal loop.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void loadPlacement();
    void addKeys();
    void goToRow(int row);
    void writeBack();
    void showLineNumber(int row);
    void toggleCurrentRow();
    void setStatusText(const QString& text);
    bool normalState() const;
    void recordPlacement();
    void settleFrame();

    Session& session_;
    WindowPlacement& placement_;
    ScanResult& result_;
    QTableView* table_;
    ViewerModel* model_;
    QStatusBar* statusBar_;
    QLabel* statusLabel_;
    FindBar* findBar_;
    FindController* find_;
    bool filled_ = false;
    bool unloaded_ = false;
    bool hooked_ = false;
    // The stored outer size until the window frame is known (see settleFrame).
    QSize pendingOuterSize_;
};

}  // namespace quillow
