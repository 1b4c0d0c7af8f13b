#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "app/gui/TreeItem.h"

namespace tovan {

// Finding rows of the tree model without a Qt index: a node's row, a folder's
// row below its parent's, the way down a catalog to a folder, and runs of
// neighbouring rows for one change signal each.
class TreeItemSearch {
public:
    using Way = std::optional<std::vector<const Entry*>>;

    // The folders from below root down to folder, read under one hold of the
    // catalog lock; none when the folder has left the catalog.
    static Way way_down(const Entry& root, const Entry& folder);
    // The same for many (root, folder) pairs, in a few holds.
    static std::vector<Way> ways_down(
        const std::vector<std::pair<const Entry*, const Entry*>>& wanted);
    // The row of a group, server or the downloads node at or below from.
    static TreeItem* node_item(TreeItem& from, const TreeEntry* node);
    static TreeItem* folder_child(const TreeItem& item, const Entry* folder);
    static int depth(const TreeItem* item);
    // First and last row of each run of neighbours, each row once.
    static std::vector<std::pair<TreeItem*, TreeItem*>> runs(std::vector<TreeItem*> items);
};

}  // namespace tovan
