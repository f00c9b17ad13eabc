#pragma once
// The six list operations every list holder offers, with 0-based indexes.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillow {

// Raised for an index outside a holder's capacity or entry count.
class ListIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class LineList {
public:
    virtual ~LineList() = default;
    virtual std::string List(int64_t index) const = 0;
    virtual void SetList(int64_t index, const std::string& text) = 0;
    virtual int64_t ListCount() const = 0;
    virtual bool Selected(int64_t index) const = 0;
    virtual void SetSelected(int64_t index, bool selected) = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual void RemoveItem(int64_t index) = 0;
    virtual void Clear() = 0;
};

}  // namespace quillow
