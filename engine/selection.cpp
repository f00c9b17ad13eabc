#include "engine/selection.h"

#include <cstdint>
#include <string>

namespace quillow {

namespace {

constexpr const char* kSelecting = "正在选择...";
constexpr const char* kProgressGap = "      ";  // six blanks between message and percentage

// The duplicates list answers every rule below from its records: group(i) is
// the first line of the entry's group, which is exactly what the scan found
// equal under its compare mode. Comparing the key texts again would need the
// same folding the scan used and buys nothing.
bool sameGroup(const DupsList& list, int64_t a, int64_t b) { return list.group(a) == list.group(b); }

}  // namespace

std::string selectionStatusText(const ProgramState& state)
{
    int64_t count = state.dupsList ? state.dupsList->ListCount() : 0;
    return std::to_string(state.selectedCount) + " 共  " + std::to_string(count) + " 个重复项已选定。";
}

void runSelectCommand(ProgramState& state, Host& host, SelectCommand command)
{
    host.setPointer(Pointer::Hourglass);
    host.setMainWindowEnabled(false);
    host.setStatus(kSelecting);
    state.selectedCount = 0;
    state.selecting = -1;

    // Counted in 64 bits: the list may hold more entries than a 32-bit
    // count can, and the per-entry arithmetic must not wrap.
    int64_t count = 0;
    if (DupsList* list = state.dupsList.get()) {
        const int64_t n = list->ListCount();

        // The progress text would be rewritten after every entry from the
        // tenth on; it only changes when the percentage does, so the host is
        // told only then. What the user sees is the same, and ten million
        // entries cost a hundred status updates instead of ten million.
        int64_t handled = 0;  // never reset
        int64_t shownPercent = -1;
        auto progress = [&](int64_t i) {
            if (++handled < 10)
                return;
            // Whole part of i / (n - 1) * 100, in exact integer arithmetic.
            // handled >= 10 implies n >= 10, the guard only keeps it obvious.
            int64_t percent = n > 1 ? i * 100 / (n - 1) : 100;
            if (percent != shownPercent) {
                shownPercent = percent;
                host.setStatus(std::string(kSelecting) + kProgressGap + std::to_string(percent) + "%");
            }
        };

        switch (command) {
        case SelectCommand::All:
            for (int64_t i = 0; i < n; ++i) {
                list->SetSelected(i, true);
                ++count;
                progress(i);
            }
            break;
        case SelectCommand::None:
            for (int64_t i = 0; i < n; ++i) {
                list->SetSelected(i, false);
                progress(i);
            }
            break;
        case SelectCommand::Invert:
            for (int64_t i = 0; i < n; ++i) {
                if (list->Selected(i)) {
                    list->SetSelected(i, false);
                } else {
                    list->SetSelected(i, true);
                    ++count;
                }
                progress(i);
            }
            break;
        case SelectCommand::AllButFirst:
            // Every entry is written: the first of each group cleared, the
            // others set, so earlier marks are replaced.
            for (int64_t i = 0; i < n; ++i) {
                bool mark = i > 0 && sameGroup(*list, i, i - 1);
                list->SetSelected(i, mark);
                if (mark)
                    ++count;
                progress(i);
            }
            break;
        case SelectCommand::AllButLast:
            // Set each entry; when a new group begins, clear the entry before
            // it (the last of the previous group); the final entry is the last
            // of its group too. An empty list has no final entry to clear.
            for (int64_t i = 0; i < n; ++i) {
                list->SetSelected(i, true);
                ++count;
                if (i > 0 && !sameGroup(*list, i, i - 1)) {
                    list->SetSelected(i - 1, false);
                    --count;
                }
                progress(i);
            }
            if (n > 0) {
                list->SetSelected(n - 1, false);
                --count;
            }
            break;
        }
    }
    state.selectedCount = static_cast<int32_t>(count);

    // Views repaint now, while selecting is still set: the duplicates view
    // scrolls to its first entry (when it is the list box, not the store in
    // big-file mode), and that move must not locate a line in the source list.
    host.selectionChanged();

    state.selecting = 0;
    host.setStatus(selectionStatusText(state));
    host.yield();
    host.setMainWindowEnabled(true);
    host.setPointer(Pointer::Default);
}

void lstDups_ItemCheck(ProgramState& state, Host& host, int64_t item)
{
    if (state.selecting != 0 || state.bigFile != 0 || !state.dupsList)
        return;
    if (item < 0 || item >= state.dupsList->ListCount())
        return;
    if (state.dupsList->Selected(item))
        ++state.selectedCount;
    else
        --state.selectedCount;
    host.setStatus(selectionStatusText(state));
}

int64_t locateLine(const ProgramState& state, int64_t item)
{
    if (state.selecting != 0 || state.bigFile != 0 || !state.dupsList)
        return -1;
    if (item < 0 || item >= state.dupsList->ListCount())
        return -1;
    return state.dupsList->lineNumber(item) - 1;
}

}  // namespace quillow
