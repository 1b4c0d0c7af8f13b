#include "app/NodeMarks.h"

#include "engine/catalog/ChangeMarks.h"

namespace tovan {

void NodeMarks::clear(const TreeEntry& node) {
    if (node.kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : node.children) clear(*child);
        return;
    }
    if (node.server && node.server->root())
        ChangeMarks::set(*node.server->root(), EntryState::Unchanged);
}

}  // namespace tovan
