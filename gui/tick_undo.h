#pragma once
// Undo and redo of the ticks in the duplicates list (QUndoStack commands):
// one entry ticked by hand, or a change of many at once (a Select menu
// entry, the viewer's write-back) kept as the bits that flipped, an eighth
// of a byte per entry. Each command changes the list it was made for; the
// window clears the stack when the list is replaced.
#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <vector>

namespace quillow {

class DupsList;

class TickCommand : public QUndoCommand {
public:
    // The tick is already set when the command is pushed. apply sets an
    // entry's tick and shows it.
    TickCommand(std::function<void(int64_t entry, bool ticked)> apply, int64_t entry, bool ticked);
    void undo() override;
    void redo() override;

private:
    std::function<void(int64_t, bool)> apply_;
    int64_t entry_;
    bool ticked_;
    bool done_ = true;
};

class SelectionCommand : public QUndoCommand {
public:
    // Null when before and after are the same. The change is already made
    // when the command is pushed; apply shows a list whose ticks changed.
    static SelectionCommand* between(DupsList& list, const std::vector<bool>& before, const QString& text,
                                     std::function<void()> shown);
    void undo() override;
    void redo() override;

private:
    SelectionCommand(DupsList& list, std::vector<uint64_t> flipped, const QString& text, std::function<void()> shown);
    void flip();

    DupsList& list_;
    std::vector<uint64_t> flipped_;
    std::function<void()> shown_;
    bool done_ = true;
};

}  // namespace quillow
