#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One row of the tree model: a group, a server or the downloads node (node
// set; a server's entry is its catalog root), or a catalog folder (entry only;
// its server is the nearest item above with a node). Only rows a view fetched
// exist, so a folder costs what this struct and its slot in the parent cost.
struct TreeItem {
    enum Flag : std::uint32_t {
        Fetched = 1,  // children mirror the catalog
        FolderChildrenKnown = 2,
        HasFolderChildren = 4,
        Expanded = 8,
        Removed = 16,  // taken out during a layout change
    };

    TreeItem* parent = nullptr;
    SharedPtr<TreeEntry> node;
    SharedPtr<Entry> entry;
    std::vector<std::unique_ptr<TreeItem>> children;
    int row = 0;
    std::uint32_t flags = 0;

    bool is_folder() const { return !node; }
    bool has(Flag flag) const { return (flags & flag) != 0; }
    void set(Flag flag, bool on) { flags = on ? flags | flag : flags & ~flag; }
    // What identifies the row among its siblings.
    const void* key() const {
        return node ? static_cast<const void*>(node.get()) : static_cast<const void*>(entry.get());
    }
    // The node of the server the folder belongs to; the node itself for a node.
    const TreeItem* node_item() const {
        const TreeItem* item = this;
        while (item != nullptr && !item->node) item = item->parent;
        return item;
    }
};

}  // namespace tovan
