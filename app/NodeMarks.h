#pragma once

#include "engine/tree/TreeEntry.h"

namespace tovan {

// Marking a group or a server as viewed: every catalog below loses its marks.
class NodeMarks {
public:
    static void clear(const TreeEntry& node);
};

}  // namespace tovan
