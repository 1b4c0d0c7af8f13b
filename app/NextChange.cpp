#include "app/NextChange.h"

#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Server.h"

namespace tovan {

std::optional<TreePlace> NextChange::find(const SharedPtr<TreeEntry>& root, TreePlace from,
                                          Filter filter) {
    NextChange walk(std::move(from), filter);
    walk.visit_node(root);
    return walk.found_ ? walk.found_ : walk.first_;
}

NextChange::NextChange(TreePlace from, Filter filter) : from_(std::move(from)), filter_(filter) {
    if (from_.node && from_.node->server && !from_.folder)
        from_.folder = from_.node->server->root();
    if (filter_.changed_only && from_.folder && from_.folder->state() == EntryState::Unchanged)
        from_.folder =
            from_.node && from_.node->server ? from_.node->server->root() : SharedPtr<Entry>();
    // Parents may leave at any moment; the way down is read under one hold.
    CatalogGuard guard(catalog_lock());
    for (const Entry* up = from_.folder.get(); up != nullptr; up = up->parent())
        way_to_start_.insert(up);
}

bool NextChange::is_start(const TreeEntry* node, const Entry* folder) const {
    return node == from_.node.get() && folder == from_.folder.get();
}

// True once the walk may end.
bool NextChange::visit_node(const SharedPtr<TreeEntry>& node) {
    if (node->kind == TreeEntry::ServerNode) {
        if (!node->server || (filter_.online_only && !node->online))
            return false;
        return visit_folder(node, node->server->root());
    }
    if (is_start(node.get(), nullptr))
        past_start_ = true;
    for (const SharedPtr<TreeEntry>& child : node->children)
        if (visit_node(child))
            return true;
    return false;
}

bool NextChange::visit_folder(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder) {
    const bool on_way = way_to_start_.count(folder.get()) != 0;
    if (folder->state() == EntryState::Unchanged && !on_way)
        return false;
    if (ChangeMarks::has_changed_children(*folder, true)) {
        if (past_start_) {
            found_ = TreePlace{node, folder};
            return true;
        }
        if (!first_)
            first_ = TreePlace{node, folder};
    }
    if (is_start(node.get(), folder.get()))
        past_start_ = true;
    for (const SharedPtr<Entry>& child : folder->child_folders())
        if (visit_folder(node, child))
            return true;
    return false;
}

}  // namespace tovan
