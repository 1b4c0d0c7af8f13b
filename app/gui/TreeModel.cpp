#include "app/gui/TreeModel.h"

#include <unordered_set>

#include "app/Document.h"
#include "app/Options.h"
#include "app/TreeLabels.h"
#include "app/gui/NodeLookup.h"
#include "app/gui/TreeDrag.h"
#include "app/gui/TreeItemSearch.h"
#include "app/gui/TreeLook.h"

namespace tovan {

TreeModel::TreeModel(Document& document, const Options& options, QObject* parent)
    : TreeRows(parent), document_(document), options_(options) {
    sync_children(root());
}

TreeModel::~TreeModel() = default;

const TreeItem* TreeModel::item(const QModelIndex& index) const {
    return index.isValid() ? item_at(index) : nullptr;
}

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    TreeItem* item = item_at(parent);
    if (item == &root() || item->has(TreeItem::Fetched))
        return !item->children.empty();
    if (!item->is_folder() && item->node->kind != TreeEntry::ServerNode)
        return !item->node->children.empty();
    if (!item->entry)
        return false;
    if (!item->has(TreeItem::FolderChildrenKnown)) {
        const bool changed_only = options_.show_changed_only;
        // Folders come first in a folder, so this usually stops at once.
        item->set(TreeItem::HasFolderChildren, item->entry->any_child([&](const Entry& child) {
            return child.is_folder() && !(changed_only && child.state() == EntryState::Unchanged);
        }));
        item->set(TreeItem::FolderChildrenKnown, true);
    }
    return item->has(TreeItem::HasFolderChildren);
}

bool TreeModel::canFetchMore(const QModelIndex& parent) const {
    const TreeItem* item = item_at(parent);
    return !item->has(TreeItem::Fetched) && hasChildren(parent);
}

void TreeModel::fetchMore(const QModelIndex& parent) {
    TreeItem* item = item_at(parent);
    if (!item->has(TreeItem::Fetched))
        sync_children(*item);
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    const TreeItem* item = this->item(index);
    if (item == nullptr)
        return {};
    switch (role) {
        case Qt::DisplayRole:
            if (item->is_folder())
                return QString::fromStdString(TreeLabels::folder_label(
                    *item->node_item()->node->server, *item->entry, options_));
            return QString::fromStdString(
                TreeLabels::node_label(*item->node, ScanProgress::of(*item->node), options_));
        case Qt::DecorationRole:
            return TreeLook::icon(TreeLook::slot_of(*item));
        case Qt::ForegroundRole:
            return TreeLook::foreground(*item);
        default:
            return {};
    }
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    const TreeItem* item = this->item(index);
    if (item == nullptr)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool group = !item->is_folder() && item->node->kind == TreeEntry::Group;
    if (group)
        flags |= Qt::ItemIsDropEnabled;
    if (item->parent != &root() || item->is_folder())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

SharedPtr<TreeEntry> TreeModel::node_of(const QModelIndex& index) const {
    const TreeItem* item = this->item(index);
    return item == nullptr ? SharedPtr<TreeEntry>() : item->node_item()->node;
}

QStringList TreeModel::mimeTypes() const {
    return {TreeDrag::NodeFormat, "text/uri-list", "text/plain"};
}

QMimeData* TreeModel::mimeData(const QModelIndexList& indexes) const {
    const TreeItem* item = indexes.isEmpty() ? nullptr : this->item(indexes.front());
    if (item == nullptr)
        return nullptr;
    const SharedPtr<TreeEntry> node = item->node_item()->node;
    const QUrl url =
        node->server
            ? TreeDrag::url_of(*node->server, item->is_folder() ? item->entry.get() : nullptr)
            : QUrl();
    return TreeDrag::mime_data(url, item->is_folder() ? nullptr : node.get()).release();
}

Qt::DropActions TreeModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions TreeModel::supportedDropActions() const {
    return Qt::MoveAction;
}

bool TreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                const QModelIndex& parent) const {
    const TreeItem* target = item(parent);
    if (data == nullptr || target == nullptr || target->is_folder() ||
        target->node->kind != TreeEntry::Group)
        return false;
    const SharedPtr<TreeEntry> node = TreeDrag::dropped_node(*data, document_.servers());
    return node && node != document_.servers() && !find_node(node, target->node.get()) &&
           find_parent(document_.servers(), node.get()) != target->node;
}

bool TreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                             const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    return move_node(TreeDrag::dropped_node(*data, document_.servers()), item(parent)->node);
}

bool TreeModel::move_node(const SharedPtr<TreeEntry>& node, const SharedPtr<TreeEntry>& group) {
    const SharedPtr<TreeEntry> root = document_.servers();
    // A group moved below itself would leave the tree with all it holds.
    if (!node || !group || node == root || group->kind != TreeEntry::Group ||
        find_node(node, group.get()) || !find_node(root, group.get()))
        return false;
    const SharedPtr<TreeEntry> from = find_parent(root, node.get());
    if (!from || from == group)
        return false;
    std::erase(from->children, node);
    group->children.push_back(node);
    refresh(true);
    emit node_moved(node);
    return true;
}

std::vector<TreeRows::Wanted> TreeModel::wanted_children(const TreeItem& item) const {
    std::vector<Wanted> wanted;
    if (&item == &root())
        return {{document_.servers(), {}}, {document_.downloads(), {}}};
    if (!item.is_folder() && item.node->kind != TreeEntry::ServerNode) {
        if (item.node->kind == TreeEntry::Downloads)
            return {};
        for (const SharedPtr<TreeEntry>& child : item.node->children) {
            const bool server = child->kind == TreeEntry::ServerNode;
            if (server && options_.show_online_only && !child->online)
                continue;
            wanted.push_back(
                {child, server && child->server ? child->server->root() : SharedPtr<Entry>()});
        }
        return wanted;
    }
    if (!item.entry)
        return {};
    std::vector<SharedPtr<Entry>> folders = item.entry->child_folders();
    wanted.reserve(folders.size());
    for (SharedPtr<Entry>& folder : folders)
        if (!options_.show_changed_only || folder->state() != EntryState::Unchanged)
            wanted.push_back({{}, std::move(folder)});
    return wanted;
}

void TreeModel::refresh(bool nodes_only) {
    std::vector<TreeItem*> shown;
    refresh_item(root(), nodes_only, shown);
    emit_changed(std::move(shown));
}

void TreeModel::refresh_item(TreeItem& item, bool nodes_only, std::vector<TreeItem*>& shown) {
    const bool group = !item.is_folder() && item.node->kind == TreeEntry::Group;
    if (&item != &root() && !group && nodes_only)
        return;
    if (&item == &root() || item.has(TreeItem::Fetched))
        sync_children(item);
    else
        item.set(TreeItem::FolderChildrenKnown, false);
    for (const std::unique_ptr<TreeItem>& child : item.children) {
        shown.push_back(child.get());
        refresh_item(*child, nodes_only, shown);
    }
}

TreeItem* TreeModel::walk_down(TreeItem* server_item, const TreeItemSearch::Way& way, bool fetch,
                               std::vector<TreeItem*>* passed) {
    TreeItem* at = server_item;
    if (passed != nullptr)
        passed->push_back(at);
    if (!way)
        return at;
    for (const Entry* step : *way) {
        if (!at->has(TreeItem::Fetched)) {
            if (!fetch)
                break;
            sync_children(*at);
        }
        TreeItem* next = TreeItemSearch::folder_child(*at, step);
        if (next == nullptr)
            break;
        at = next;
        if (passed != nullptr)
            passed->push_back(at);
    }
    return at;
}

QModelIndex TreeModel::node_index(const TreeEntry* node) const {
    return index_of(TreeItemSearch::node_item(root(), node));
}

QModelIndex TreeModel::folder_index(const TreeEntry* node, const Entry& folder, bool fetch) {
    TreeItem* server_item = TreeItemSearch::node_item(root(), node);
    if (server_item == nullptr || node->kind != TreeEntry::ServerNode)
        return {};
    if (!server_item->entry)
        return index_of(server_item);
    return index_of(walk_down(server_item, TreeItemSearch::way_down(*server_item->entry, folder),
                              fetch, nullptr));
}

void TreeModel::update_folders(const std::vector<ChangeRecord>& folders) {
    std::vector<TreeItem*> server_items;
    std::vector<std::pair<const Entry*, const Entry*>> wanted_ways;
    for (const ChangeRecord& record : folders) {
        TreeItem* server_item = TreeItemSearch::node_item(root(), record.node.get());
        if (server_item == nullptr || !server_item->entry || !record.entry)
            continue;
        server_items.push_back(server_item);
        wanted_ways.emplace_back(server_item->entry.get(), record.entry.get());
    }
    // Scanners hold the catalog lock often: a few holds for all the ways down, not one each.
    const std::vector<TreeItemSearch::Way> ways = TreeItemSearch::ways_down(wanted_ways);
    std::vector<TreeItem*> labels;
    std::unordered_set<TreeItem*> to_sync;
    for (std::size_t index = 0; index < ways.size(); ++index) {
        TreeItem* server_item = server_items[index];
        for (TreeItem* above = server_item->parent; above != &root(); above = above->parent)
            labels.push_back(above);
        TreeItem* found = walk_down(server_item, ways[index], false, &labels);
        if (found->has(TreeItem::Fetched))
            to_sync.insert(found);
        else
            found->set(TreeItem::FolderChildrenKnown, false);
        // A folder that lost its last mark leaves a view of changed items only.
        if (options_.show_changed_only && found->is_folder())
            to_sync.insert(found->parent);
    }
    emit_changed(std::move(labels));
    sync_all(std::vector<TreeItem*>(to_sync.begin(), to_sync.end()));
}

void TreeModel::update_node(const TreeEntry* node) {
    std::vector<TreeItem*> labels;
    for (TreeItem* item = TreeItemSearch::node_item(root(), node);
         item != nullptr && item != &root(); item = item->parent)
        labels.push_back(item);
    emit_changed(std::move(labels));
}

void TreeModel::set_expanded(const QModelIndex& index, bool expanded) {
    TreeItem* item = item_at(index);
    if (item == &root() || item->has(TreeItem::Expanded) == expanded)
        return;
    item->set(TreeItem::Expanded, expanded);
    emit dataChanged(index, index, {Qt::DecorationRole});
}

}  // namespace tovan
