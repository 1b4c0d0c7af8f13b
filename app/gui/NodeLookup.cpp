#include "app/gui/NodeLookup.h"

namespace tovan {

SharedPtr<TreeEntry> find_node(const SharedPtr<TreeEntry>& root, const TreeEntry* wanted) {
    if (!root || wanted == nullptr)
        return {};
    if (root.get() == wanted)
        return root;
    for (const SharedPtr<TreeEntry>& child : root->children)
        if (SharedPtr<TreeEntry> found = find_node(child, wanted))
            return found;
    return {};
}

SharedPtr<TreeEntry> find_parent(const SharedPtr<TreeEntry>& root, const TreeEntry* child) {
    if (!root)
        return {};
    for (const SharedPtr<TreeEntry>& node : root->children) {
        if (node.get() == child)
            return root;
        if (SharedPtr<TreeEntry> found = find_parent(node, child))
            return found;
    }
    return {};
}

}  // namespace tovan
