#include "engine/dedup/selection.h"

#include "app/texts.h"

namespace quillow {

namespace {

// group(i) is the first line of the entry's group, which is exactly what the
// scan found equal under its compare mode; comparing the key texts again
// would need the same folding and buys nothing.
bool sameGroup(const DupsList& list, int64_t a, int64_t b) { return list.group(a) == list.group(b); }

// Sets every flag of the list by the command.
template <typename Progress>
void applyCommand(DupsList& list, SelectCommand command, Progress progress)
{
    const int64_t n = list.count();
    switch (command) {
    case SelectCommand::All:
    case SelectCommand::None:
        for (int64_t i = 0; i < n; ++i) {
            list.setSelected(i, command == SelectCommand::All);
            progress(i);
        }
        break;
    case SelectCommand::Invert:
        for (int64_t i = 0; i < n; ++i) {
            list.setSelected(i, !list.isSelected(i));
            progress(i);
        }
        break;
    case SelectCommand::AllButFirst:
        // Every entry is written: the first of each group cleared, the
        // others set, so earlier marks are replaced.
        for (int64_t i = 0; i < n; ++i) {
            list.setSelected(i, i > 0 && sameGroup(list, i, i - 1));
            progress(i);
        }
        break;
    case SelectCommand::AllButLast:
        // Every entry is written: the last of each group cleared, the others set.
        for (int64_t i = 0; i < n; ++i) {
            list.setSelected(i, i + 1 < n && sameGroup(list, i, i + 1));
            progress(i);
        }
        break;
    }
}

}  // namespace

std::string selectionStatusText(const ScanResult& result)
{
    const DupsList* list = result.dups.get();
    return text::selectionStatus(list ? list->selectedCount() : 0, list ? list->count() : 0);
}

void runSelectCommand(ScanResult& result, RunFlags& flags, Host& host, SelectCommand command)
{
    host.setPointer(Pointer::Wait);
    host.setMainWindowEnabled(false);
    host.setStatus(text::translated(text::kSelecting));
    flags.selecting = true;

    if (DupsList* list = result.dups.get()) {
        const int64_t n = list->count();
        // The progress text changes only when the percentage does, so the
        // host hears of it only then: ten million entries cost a hundred
        // updates. It shows from the tenth entry on.
        int64_t shownPercent = -1;
        applyCommand(*list, command, [&](int64_t i) {
            if (i < 9)
                return;
            const int64_t percent = text::progressPercent(Stage::Selecting, i, n - 1);
            if (percent != shownPercent) {
                shownPercent = percent;
                host.progress(Stage::Selecting, i, n - 1);
            }
        });
    }

    // Views repaint now, while selecting is still set: the duplicates view
    // scrolls to its first entry, and that move must not locate a line in
    // the source list.
    host.selectionChanged();

    flags.selecting = false;
    host.setStatus(selectionStatusText(result));
    host.yield();
    host.setMainWindowEnabled(true);
    host.setPointer(Pointer::Normal);
}

void entryCheckChanged(const ScanResult& result, const RunFlags& flags, Host& host, int64_t item)
{
    if (flags.selecting || !result.dups)
        return;
    if (item < 0 || item >= result.dups->count())
        return;
    host.setStatus(selectionStatusText(result));
}

void applyLineMarks(ScanResult& result, const RunFlags& flags, Host& host,
                    const std::function<bool(int64_t lineIndex)>& lineChecked)
{
    DupsList* dups = result.dups.get();
    if (!dups)
        return;
    for (int64_t i = 0, n = dups->count(); i < n; ++i) {
        const bool checked = lineChecked(dups->lineNumber(i) - 1);
        if (dups->isSelected(i) != checked) {
            dups->setSelected(i, checked);
            entryCheckChanged(result, flags, host, i);
        }
    }
    host.selectionChanged();  // the duplicates view repaints and makes entry 0 current
}

int64_t locateLine(const ScanResult& result, const RunFlags& flags, int64_t item)
{
    if (flags.selecting || !result.dups)
        return -1;
    if (item < 0 || item >= result.dups->count())
        return -1;
    return result.dups->lineNumber(item) - 1;
}

}  // namespace quillow
