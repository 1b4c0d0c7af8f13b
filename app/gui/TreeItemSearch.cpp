#include "app/gui/TreeItemSearch.h"

#include <algorithm>

#include "engine/catalog/CatalogLock.h"

namespace tovan {

TreeItemSearch::Way TreeItemSearch::way_down(const Entry& root, const Entry& folder) {
    std::vector<const Entry*> way;
    CatalogGuard guard(catalog_lock());
    for (const Entry* at = &folder; at != &root; at = at->parent()) {
        if (at == nullptr)
            return std::nullopt;
        way.push_back(at);
    }
    std::reverse(way.begin(), way.end());
    return way;
}

std::vector<TreeItemSearch::Way> TreeItemSearch::ways_down(
    const std::vector<std::pair<const Entry*, const Entry*>>& wanted) {
    // A few hundred ways per hold: few waits for the scanners' holds, and none
    // of ours long enough to keep a scanner waiting.
    constexpr std::size_t WaysPerHold = 256;
    std::vector<Way> ways;
    ways.reserve(wanted.size());
    for (std::size_t first = 0; first < wanted.size(); first += WaysPerHold) {
        CatalogGuard guard(catalog_lock());
        const std::size_t end = std::min(wanted.size(), first + WaysPerHold);
        for (std::size_t index = first; index < end; ++index)
            ways.push_back(way_down(*wanted[index].first, *wanted[index].second));
    }
    return ways;
}

TreeItem* TreeItemSearch::node_item(TreeItem& from, const TreeEntry* node) {
    if (node == nullptr)
        return nullptr;
    if (from.node.get() == node)
        return &from;
    // Servers hold folders only: their rows are not searched.
    for (const std::unique_ptr<TreeItem>& child : from.children) {
        if (child->node.get() == node)
            return child.get();
        if (child->node && child->node->kind != TreeEntry::ServerNode)
            if (TreeItem* found = node_item(*child, node))
                return found;
    }
    return nullptr;
}

TreeItem* TreeItemSearch::folder_child(const TreeItem& item, const Entry* folder) {
    const std::vector<std::unique_ptr<TreeItem>>& children = item.children;
    // Rows keep the catalog's order, so the name finds the row in a large folder.
    const std::string_view name = folder->name();
    const auto found =
        std::lower_bound(children.begin(), children.end(), name,
                         [](const std::unique_ptr<TreeItem>& child, std::string_view wanted) {
                             return child->entry && child->entry->name() < wanted;
                         });
    if (found != children.end() && (*found)->entry.get() == folder)
        return found->get();
    for (const std::unique_ptr<TreeItem>& child : children)
        if (child->entry.get() == folder)
            return child.get();
    return nullptr;
}

int TreeItemSearch::depth(const TreeItem* item) {
    int depth = 0;
    for (; item != nullptr; item = item->parent) ++depth;
    return depth;
}

std::vector<std::pair<TreeItem*, TreeItem*>> TreeItemSearch::runs(std::vector<TreeItem*> items) {
    std::sort(items.begin(), items.end(), [](const TreeItem* a, const TreeItem* b) {
        return a->parent != b->parent ? a->parent < b->parent : a->row < b->row;
    });
    items.erase(std::unique(items.begin(), items.end()), items.end());
    std::vector<std::pair<TreeItem*, TreeItem*>> runs;
    for (std::size_t first = 0; first < items.size();) {
        std::size_t last = first;
        while (last + 1 < items.size() && items[last + 1]->parent == items[first]->parent &&
               items[last + 1]->row == items[last]->row + 1)
            ++last;
        runs.emplace_back(items[first], items[last]);
        first = last + 1;
    }
    return runs;
}

}  // namespace tovan
