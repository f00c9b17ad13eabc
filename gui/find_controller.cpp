#include "gui/find_controller.h"

#include <QAbstractItemView>
#include <QLocale>

#include "gui/find_bar.h"
#include "gui/search_runner.h"

namespace quillow {

FindController::FindController(FindBar* bar, std::function<FindTarget()> target, QObject* parent)
    : QObject(parent), bar_(bar), targetFn_(std::move(target)), runner_(new SearchRunner(this))
{
    connect(runner_, &SearchRunner::progressed, this, &FindController::onProgress);
    connect(bar_, &FindBar::queryChanged, this, [this] {
        restart();
        // Typing moves to the first hit from the current row on.
        pending_ = true;
        pendingFrom_ = currentRow() - 1;
        settlePending();
    });
    connect(bar_, &FindBar::scopeChanged, this, &FindController::restart);
    connect(bar_, &FindBar::findRequested, this, &FindController::find);
    connect(bar_, &FindBar::closed, this, [this] { pending_.reset(); });
}

FindController::~FindController() { runner_->cancel(); }

const SearchHits* FindController::hits() const { return invalid_ ? nullptr : runner_->hits(); }

bool FindController::searching() const { return runner_->running(); }

void FindController::stop()
{
    runner_->cancel();
    target_ = FindTarget();
    pending_.reset();
    invalid_ = true;
}

void FindController::restart()
{
    runner_->cancel();
    pending_.reset();
    target_ = targetFn_();
    const SearchQuery query = bar_->query();
    std::string error;
    std::unique_ptr<LineMatcher> matcher = LineMatcher::create(query, &error);
    invalid_ = !matcher;
    if (!matcher) {
        bar_->setResult(tr("表达式有误: %1").arg(QString::fromStdString(error)), true);
        return;
    }
    if (query.text.empty() || !target_.view || target_.rows == 0) {
        invalid_ = true;
        bar_->setResult(QString());
        return;
    }
    runner_->start(target_.rows, std::move(matcher), target_.rowText, target_.anyThread);
}

void FindController::find(bool forward)
{
    if (invalid_ || !runner_->hits())
        restart();
    if (invalid_)
        return;
    pending_ = forward;
    pendingFrom_ = currentRow();
    settlePending();
}

bool FindController::settlePending()
{
    const SearchHits* found = hits();
    if (!pending_ || !found)
        return false;
    const std::optional<int64_t> hit = nextHit(*found, pendingFrom_, *pending_);
    if (!hit) {
        showCount();
        return false;
    }
    pending_.reset();
    if (*hit >= 0)
        moveTo(*hit);
    showCount();
    return true;
}

void FindController::onProgress()
{
    if (!settlePending())
        showCount();
}

void FindController::moveTo(int64_t row)
{
    if (!target_.view || row < 0 || row >= target_.rows)
        return;
    if (target_.showRow)
        target_.showRow(row);
    const QModelIndex index = target_.view->model()->index(static_cast<int>(row), 0);
    target_.view->setCurrentIndex(index);
    target_.view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

int64_t FindController::currentRow() const
{
    if (!target_.view)
        return -1;
    const QModelIndex current = target_.view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FindController::showCount()
{
    const SearchHits* found = hits();
    if (!found)
        return;
    const QLocale locale;
    const int64_t total = found->hitCount();
    const bool done = found->complete();
    QString text;
    if (done && total == 0) {
        bar_->setResult(tr("没有找到"), true);
        return;
    }
    const int64_t row = currentRow();
    if (found->isHit(row))
        text = tr("第 %1 个，共 %2 个").arg(locale.toString(found->hitsBefore(row) + 1), locale.toString(total));
    else
        text = tr("共 %1 个").arg(locale.toString(total));
    if (!done)
        text += tr(" (正在查找 %1%)").arg(found->searched() * 100 / std::max<int64_t>(found->rows(), 1));
    bar_->setResult(text);
}

}  // namespace quillow
