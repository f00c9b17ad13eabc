#pragma once
// Runs a find over a list's rows: on a thread of its own when the rows can
// be read from any thread (texts in memory), else in short slices on the
// GUI thread (lines read from the file share its reader with the views).
// Either way the window stays responsive and progressed() reports the rows
// searched so far every kDisplayInterval.
#include <QObject>
#include <memory>
#include <thread>

#include "app/line_search.h"

class QTimer;

namespace quillow {

class SearchRunner : public QObject {
    Q_OBJECT
public:
    explicit SearchRunner(QObject* parent = nullptr);
    ~SearchRunner() override;

    void start(int64_t rows, std::unique_ptr<LineMatcher> matcher, RowText rowText, bool onWorker);
    // Stops the search and lets go of the rows (waits for the thread).
    void cancel();
    // The running or finished search's hits; null when none ran.
    const SearchHits* hits() const { return hits_.get(); }
    // True until progressed() has reported the last rows.
    bool running() const;

signals:
    void progressed();

private:
    void tick();

    std::unique_ptr<SearchHits> hits_;
    std::unique_ptr<LineMatcher> matcher_;
    RowText rowText_;
    std::jthread worker_;
    bool onWorker_ = false;
    QTimer* timer_;
    std::string scratch_;
};

}  // namespace quillow
