#include "cli/ChangeList.h"

namespace tovan::cli {

bool ChangeList::is_change(EntryState state) {
    return state == EntryState::New || state == EntryState::Modified ||
           state == EntryState::Deleted;
}

void ChangeList::walk(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder,
                      const Visit& visit) {
    if (is_change(folder->state()))
        visit(node, folder);
    if (!folder->is_folder() || folder->state() == EntryState::Unchanged)
        return;
    for (const SharedPtr<Entry>& child : folder->children()) walk(node, child, visit);
}

void ChangeList::walk(const SharedPtr<TreeEntry>& node, const Visit& visit) {
    if (node->server)
        walk(node, node->server->root(), visit);
    for (const SharedPtr<TreeEntry>& child : node->children) walk(child, visit);
}

std::size_t ChangeList::count(const Entry& folder) {
    std::size_t changes = is_change(folder.state()) ? 1 : 0;
    if (!folder.is_folder() || folder.state() == EntryState::Unchanged)
        return changes;
    for (const SharedPtr<Entry>& child : folder.children()) changes += count(*child);
    return changes;
}

std::size_t ChangeList::count_below(const TreeEntry& node) {
    std::size_t changes = node.server ? count(*node.server->root()) : 0;
    for (const SharedPtr<TreeEntry>& child : node.children) changes += count_below(*child);
    return changes;
}

}  // namespace tovan::cli
