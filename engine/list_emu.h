#pragma once
// clsListEmu: an in-memory list of texts with selected flags that behaves like
// a list box but holds any number of entries. Slot 0 is unused; list index n
// lives in slot n + 1, so a store sized with upper limit U holds U entries.
#include <vector>

#include "engine/line_list.h"

namespace quillow {

class clsListEmu : public LineList {
public:
    void setUpperLimit(int64_t upperLimit);
    std::string List(int64_t index) const override;
    void SetList(int64_t index, const std::string& text) override;
    int64_t ListCount() const override { return count_; }
    bool Selected(int64_t index) const override;
    void SetSelected(int64_t index, bool selected) override;
    void AddItem(const std::string& text) override;
    void RemoveItem(int64_t index) override;
    void Clear() override { count_ = 0; }
    // Shell sort (gaps 1, 4, 13, ...) of entries 0..count-1 by text, ignoring
    // letter case; only texts move, flags stay in their slots.
    void ShellSort();

private:
    struct Entry {
        std::string text;
        int16_t selected = 0;
    };
    Entry& slot(int64_t index);
    const Entry& slot(int64_t index) const;

    std::vector<Entry> entries_;
    int64_t count_ = 0;
};

}  // namespace quillow
