#include "engine/tree/TreeEntry.h"

namespace tovan {

SharedPtr<TreeEntry> TreeEntry::make_group(std::string name) {
    SharedPtr<TreeEntry> group = make_shared<TreeEntry>();
    group->kind = Group;
    group->name = std::move(name);
    return group;
}

SharedPtr<TreeEntry> TreeEntry::make_server_node(SharedPtr<Server> server, std::string name) {
    SharedPtr<TreeEntry> node = make_shared<TreeEntry>();
    node->kind = ServerNode;
    node->server = std::move(server);
    node->name = std::move(name);
    return node;
}

std::string TreeEntry::label() const {
    if (!name.empty())
        return name;
    return server ? server->title() : "unknown";
}

template <class Visit>
void TreeEntry::for_each_server_node(Visit visit) const {
    if (kind == ServerNode) {
        if (server)
            visit(*this);
        return;
    }
    for (const SharedPtr<TreeEntry>& child : children) child->for_each_server_node(visit);
}

std::uint32_t TreeEntry::server_count() const {
    std::uint32_t count = 0;
    for_each_server_node([&](const TreeEntry&) { ++count; });
    return count;
}

std::uint32_t TreeEntry::group_count() const {
    std::uint32_t count = 0;
    for (const SharedPtr<TreeEntry>& child : children)
        if (child->kind == Group)
            count += 1 + child->group_count();
    return count;
}

std::uint32_t TreeEntry::online_count() const {
    std::uint32_t count = 0;
    for_each_server_node([&](const TreeEntry& node) { count += node.online ? 1 : 0; });
    return count;
}

bool TreeEntry::has_changes(bool online_only) const {
    bool changes = false;
    for_each_server_node([&](const TreeEntry& node) {
        if (online_only && !node.online)
            return;
        changes |= node.server->root()->state() != EntryState::Unchanged;
    });
    return changes;
}

void TreeEntry::statistics(CatalogStats& out) const {
    out = CatalogStats();
    for_each_server_node([&](const TreeEntry& node) {
        CatalogStats one;
        node.server->statistics(one);
        out += one;
    });
}

}  // namespace tovan
