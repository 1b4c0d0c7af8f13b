#pragma once

#include <cstdint>

namespace tovan {

// The change mark of a catalog entry; the values are stored in catalog files.
enum class EntryState : std::uint8_t {
    Unchanged = 0,
    ContainsChanges = 1,  // a folder some of whose descendants carry a mark
    New = 2,
    Modified = 3,
    Deleted = 4,
};

}  // namespace tovan
