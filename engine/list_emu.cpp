#include "engine/list_emu.h"

#include "engine/text_util.h"

namespace quillow {

void clsListEmu::setUpperLimit(int64_t upperLimit)
{
    entries_.clear();
    entries_.shrink_to_fit();
    if (upperLimit < 0)
        throw ListIndexError("list store: negative upper limit");
    entries_.resize(static_cast<size_t>(upperLimit) + 1);
}

clsListEmu::Entry& clsListEmu::slot(int64_t index)
{
    if (index < 0 || index + 1 >= static_cast<int64_t>(entries_.size()))
        throw ListIndexError("list store: index out of range");
    return entries_[static_cast<size_t>(index + 1)];
}

const clsListEmu::Entry& clsListEmu::slot(int64_t index) const
{
    return const_cast<clsListEmu*>(this)->slot(index);
}

std::string clsListEmu::List(int64_t index) const { return slot(index).text; }
void clsListEmu::SetList(int64_t index, const std::string& text) { slot(index).text = text; }
bool clsListEmu::Selected(int64_t index) const { return slot(index).selected != 0; }
void clsListEmu::SetSelected(int64_t index, bool selected) { slot(index).selected = selected ? -1 : 0; }

void clsListEmu::AddItem(const std::string& text)
{
    Entry& e = slot(count_);
    e.text = text;
    e.selected = 0;
    ++count_;
}

void clsListEmu::RemoveItem(int64_t index)
{
    slot(index);  // range check
    if (index >= count_)
        throw ListIndexError("list store: index out of range");
    for (int64_t i = index + 1; i < count_; ++i)
        entries_[static_cast<size_t>(i)] = std::move(entries_[static_cast<size_t>(i + 1)]);
    --count_;
}

void clsListEmu::ShellSort()
{
    if (count_ == 0)
        return;
    int64_t h = 1;
    while (h <= count_)
        h = 3 * h + 1;
    do {
        h /= 3;
        for (int64_t c = h + 1; c <= count_; ++c) {
            std::string t = std::move(entries_[static_cast<size_t>(c)].text);
            int64_t j = c;
            while (j - h >= 1 && compareIgnoringCase(entries_[static_cast<size_t>(j - h)].text, t) > 0) {
                entries_[static_cast<size_t>(j)].text = std::move(entries_[static_cast<size_t>(j - h)].text);
                j -= h;
            }
            entries_[static_cast<size_t>(j)].text = std::move(t);
        }
    } while (h > 1);
}

}  // namespace quillow
