#pragma once
#include <stdexcept>

namespace quillow {

// Raised for an index outside a list, or a line whose text was released.
class ListIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

}  // namespace quillow
