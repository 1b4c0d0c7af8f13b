#pragma once

#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Finds a node of the servers tree by its address without touching what the
// address points to, so that a menu or an item may keep the address of a node
// that has since been removed: the lookup then comes back empty.
SharedPtr<TreeEntry> find_node(const SharedPtr<TreeEntry>& root, const TreeEntry* wanted);

// The group that holds the node below root, empty for root itself or a node not
// in the tree.
SharedPtr<TreeEntry> find_parent(const SharedPtr<TreeEntry>& root, const TreeEntry* child);

}  // namespace tovan
