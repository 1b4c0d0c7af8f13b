#pragma once

#include <cstdint>

#include "engine/catalog/Entry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One entry a search found. A search may find millions, so a result is 24 bytes:
// the entry and which of the search's roots it was found under; what its row
// shows (URL, size) is read from the entry when the row is shown.
struct SearchResult {
    SharedPtr<Entry> entry;
    std::uint32_t root = 0;  // index into the roots the search ran over
};

}  // namespace tovan
