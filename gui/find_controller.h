#pragma once
// Find in one list view at a time: restarts the search when the query or
// the list changes, moves the view's current row to the next or previous
// hit (waiting for the search to get there on a long list), and keeps the
// bar's count up to date.
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "app/line_search.h"

class QAbstractItemView;

namespace quillow {

class FindBar;
class SearchRunner;

// The list a find works on.
struct FindTarget {
    QAbstractItemView* view = nullptr;
    int64_t rows = 0;
    RowText rowText;       // a copy serves one thread
    bool anyThread = false;  // rowText may run on a worker
    // Makes sure the view's model holds row (a growing model may not yet).
    std::function<void(int64_t row)> showRow;
};

class FindController : public QObject {
    Q_OBJECT
public:
    // target gives the list to search now (called again when it changes).
    FindController(FindBar* bar, std::function<FindTarget()> target, QObject* parent = nullptr);
    ~FindController() override;

    // The list changed (a new scan, another scope): search it afresh.
    void restart();
    // Stops searching and forgets the hits (the lists are about to go).
    void stop();
    // Moves to the next (or previous) hit from the view's current row; on a
    // search still running it waits for one to be found.
    void find(bool forward);
    const SearchHits* hits() const;
    bool searching() const;

private:
    void onProgress();
    void showCount();
    // Moves to a hit now when the search can tell where it is.
    bool settlePending();
    void moveTo(int64_t row);
    int64_t currentRow() const;

    FindBar* bar_;
    std::function<FindTarget()> targetFn_;
    FindTarget target_;
    SearchRunner* runner_;
    std::optional<bool> pending_;  // a find waiting for the search: forward or not
    int64_t pendingFrom_ = -1;
    bool invalid_ = false;
};

}  // namespace quillow
