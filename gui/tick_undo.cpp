#include "gui/tick_undo.h"

#include <QCoreApplication>

#include "engine/dedup/dups_list.h"

namespace quillow {

TickCommand::TickCommand(std::function<void(int64_t, bool)> apply, int64_t entry, bool ticked)
    : apply_(std::move(apply)), entry_(entry), ticked_(ticked)
{
    setText(ticked ? QCoreApplication::translate("quillow::TickCommand", "勾选")
                   : QCoreApplication::translate("quillow::TickCommand", "取消勾选"));
}

void TickCommand::undo()
{
    apply_(entry_, !ticked_);
    done_ = false;
}

void TickCommand::redo()
{
    // Pushing runs redo: the user's click has already done it.
    if (!done_)
        apply_(entry_, ticked_);
    done_ = true;
}

SelectionCommand* SelectionCommand::between(DupsList& list, const std::vector<bool>& before, const QString& text,
                                            std::function<void()> shown)
{
    const std::vector<bool>& after = list.selection();
    if (after.size() != before.size())
        return nullptr;
    std::vector<uint64_t> flipped((after.size() + 63) / 64, 0);
    bool any = false;
    for (size_t i = 0; i < after.size(); ++i) {
        if ((after[i] != 0) != (before[i] != 0)) {
            flipped[i / 64] |= uint64_t{1} << (i % 64);
            any = true;
        }
    }
    if (!any)
        return nullptr;
    return new SelectionCommand(list, std::move(flipped), text, std::move(shown));
}

SelectionCommand::SelectionCommand(DupsList& list, std::vector<uint64_t> flipped, const QString& text,
                                   std::function<void()> shown)
    : list_(list), flipped_(std::move(flipped)), shown_(std::move(shown))
{
    setText(text);
}

void SelectionCommand::flip()
{
    std::vector<bool> flags = list_.selection();
    for (size_t w = 0; w < flipped_.size(); ++w) {
        for (uint64_t bits = flipped_[w]; bits; bits &= bits - 1) {
            const size_t i = w * 64 + static_cast<size_t>(__builtin_ctzll(bits));
            flags[i] = !flags[i];
        }
    }
    list_.setSelection(std::move(flags));
    shown_();
}

void SelectionCommand::undo()
{
    flip();
    done_ = false;
}

void SelectionCommand::redo()
{
    if (!done_)
        flip();
    done_ = true;
}

}  // namespace quillow
