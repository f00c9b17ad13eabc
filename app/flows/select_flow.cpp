#include "app/flows/select_flow.h"

#include "app/texts.h"

namespace quillow {

std::string selectionStatusText(const ScanResult& result)
{
    const DupsList* list = result.dups.get();
    return text::selectionStatus(list ? list->selectedCount() : 0, list ? list->count() : 0);
}

void selectEntries(Session& session, SelectCommand command)
{
    if (DupsList* list = session.result.dups.get()) {
        std::vector<bool> flags;
        session.frontEnd.runWork(nullptr, [&](Work& work) {
            work.begin(Stage::Selecting);
            flags = selectionAfter(*list, command, work);
        });
        list->setSelection(std::move(flags));
    }
    session.frontEnd.selectionChanged();
    session.frontEnd.setStatus(selectionStatusText(session.result));
}

void entryCheckChanged(Session& session, int64_t item)
{
    const DupsList* list = session.result.dups.get();
    if (list && item >= 0 && item < list->count())
        session.frontEnd.setStatus(selectionStatusText(session.result));
}

void applyLineMarks(Session& session, const std::function<bool(int64_t lineIndex)>& lineChecked)
{
    DupsList* dups = session.result.dups.get();
    if (!dups)
        return;
    bool changed = false;
    for (int64_t i = 0, n = dups->count(); i < n; ++i) {
        const bool checked = lineChecked(dups->lineNumber(i) - 1);
        if (dups->isSelected(i) != checked) {
            dups->setSelected(i, checked);
            changed = true;
        }
    }
    if (changed)
        session.frontEnd.setStatus(selectionStatusText(session.result));
    session.frontEnd.selectionChanged();
}

int64_t lineOfEntry(const ScanResult& result, int64_t item)
{
    if (!result.dups || item < 0 || item >= result.dups->count())
        return -1;
    return result.dups->lineNumber(item) - 1;
}

}  // namespace quillow
