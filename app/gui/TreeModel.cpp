#include "app/gui/TreeModel.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "app/Document.h"
#include "app/Options.h"
#include "app/TreeLabels.h"
#include "app/gui/NodeLookup.h"
#include "app/gui/TreeDrag.h"
#include "app/gui/TreeItemSearch.h"
#include "app/gui/TreeLook.h"

namespace tovan {

const void* TreeModel::Wanted::key() const {
    return node ? static_cast<const void*>(node.get()) : static_cast<const void*>(entry.get());
}

TreeModel::TreeModel(Document& document, const Options& options, QObject* parent)
    : QAbstractItemModel(parent),
      document_(document),
      options_(options),
      root_(std::make_unique<TreeItem>()) {
    sync_children(*root_);
}

TreeModel::~TreeModel() = default;

TreeItem* TreeModel::item_at(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer()) : root_.get();
}

const TreeItem* TreeModel::item(const QModelIndex& index) const {
    return index.isValid() ? item_at(index) : nullptr;
}

QModelIndex TreeModel::index_of(const TreeItem* item) const {
    if (item == nullptr || item == root_.get())
        return {};
    return createIndex(item->row, 0, const_cast<TreeItem*>(item));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    const TreeItem* item = item_at(parent);
    if (column != 0 || row < 0 || static_cast<std::size_t>(row) >= item->children.size())
        return {};
    return createIndex(row, 0, item->children[static_cast<std::size_t>(row)].get());
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    const TreeItem* item = item_at(child);
    return item == root_.get() ? QModelIndex() : index_of(item->parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    return parent.column() > 0 ? 0 : static_cast<int>(item_at(parent)->children.size());
}

int TreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    TreeItem* item = item_at(parent);
    if (item == root_.get() || item->has(TreeItem::Fetched))
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
    if (item->parent != root_.get() || item->is_folder())
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

std::vector<TreeModel::Wanted> TreeModel::wanted_children(const TreeItem& item) const {
    std::vector<Wanted> wanted;
    if (&item == root_.get())
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

void TreeModel::sync_children(TreeItem& item) {
    const std::vector<Wanted> wanted = wanted_children(item);
    item.set(TreeItem::Fetched, true);
    item.set(TreeItem::FolderChildrenKnown, false);
    if (!item.children.empty())
        remove_missing(item, wanted);
    insert_missing(item, wanted);
}

// Leaves the rows that are still wanted, in the order wanted; a row whose
// place changed goes and comes back.
void TreeModel::remove_missing(TreeItem& item, const std::vector<Wanted>& wanted) {
    std::unordered_map<const void*, std::size_t> place;
    place.reserve(wanted.size());
    for (std::size_t index = 0; index < wanted.size(); ++index)
        place.emplace(wanted[index].key(), index);
    std::vector<bool> going(item.children.size(), false);
    std::size_t next_place = 0;
    for (std::size_t row = 0; row < item.children.size(); ++row) {
        const TreeItem& child = *item.children[row];
        const auto found = place.find(child.key());
        const bool kept = found != place.end() && found->second >= next_place &&
                          (child.is_folder() || child.entry == wanted[found->second].entry);
        going[row] = !kept;
        if (kept)
            next_place = found->second + 1;
    }
    for (std::size_t end = going.size(); end > 0;) {
        if (!going[end - 1]) {
            --end;
            continue;
        }
        std::size_t first = end - 1;
        while (first > 0 && going[first - 1]) --first;
        remove_rows(item, static_cast<int>(first), static_cast<int>(end - first));
        end = first;
    }
}

void TreeModel::remove_rows(TreeItem& item, int first, int count) {
    if (!in_layout_change_)
        beginRemoveRows(index_of(&item), first, first + count - 1);
    const auto begin = item.children.begin() + first;
    // During a layout change the rows live on until the views' indexes are moved.
    if (in_layout_change_)
        for (auto removed = begin; removed != begin + count; ++removed) {
            (*removed)->set(TreeItem::Removed, true);
            removed_.push_back(std::move(*removed));
        }
    item.children.erase(begin, begin + count);
    renumber(item, static_cast<std::size_t>(first));
    if (!in_layout_change_)
        endRemoveRows();
}

void TreeModel::insert_missing(TreeItem& item, const std::vector<Wanted>& wanted) {
    std::vector<std::unique_ptr<TreeItem>>& children = item.children;
    if (children.empty())
        children.reserve(wanted.size());
    std::size_t row = 0;
    for (std::size_t next = 0; next < wanted.size();) {
        if (row < children.size() && children[row]->key() == wanted[next].key()) {
            ++row;
            ++next;
            continue;
        }
        std::vector<std::unique_ptr<TreeItem>> run;
        for (; next < wanted.size() &&
               (row >= children.size() || wanted[next].key() != children[row]->key());
             ++next) {
            auto child = std::make_unique<TreeItem>();
            child->parent = &item;
            child->node = wanted[next].node;
            child->entry = wanted[next].entry;
            run.push_back(std::move(child));
        }
        const int first = static_cast<int>(row);
        if (!in_layout_change_)
            beginInsertRows(index_of(&item), first, first + static_cast<int>(run.size()) - 1);
        children.insert(children.begin() + first, std::make_move_iterator(run.begin()),
                        std::make_move_iterator(run.end()));
        renumber(item, row);
        if (!in_layout_change_)
            endInsertRows();
        row += run.size();
    }
}

void TreeModel::renumber(TreeItem& item, std::size_t from) {
    for (std::size_t row = from; row < item.children.size(); ++row)
        item.children[row]->row = static_cast<int>(row);
}

void TreeModel::refresh(bool nodes_only) {
    std::vector<TreeItem*> shown;
    refresh_item(*root_, nodes_only, shown);
    emit_changed(std::move(shown));
}

void TreeModel::refresh_item(TreeItem& item, bool nodes_only, std::vector<TreeItem*>& shown) {
    const bool group = !item.is_folder() && item.node->kind == TreeEntry::Group;
    if (&item != root_.get() && !group && nodes_only)
        return;
    if (&item == root_.get() || item.has(TreeItem::Fetched))
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
    return index_of(TreeItemSearch::node_item(*root_, node));
}

QModelIndex TreeModel::folder_index(const TreeEntry* node, const Entry& folder, bool fetch) {
    TreeItem* server_item = TreeItemSearch::node_item(*root_, node);
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
        TreeItem* server_item = TreeItemSearch::node_item(*root_, record.node.get());
        if (server_item == nullptr || !server_item->entry || !record.entry)
            continue;
        server_items.push_back(server_item);
        wanted_ways.emplace_back(server_item->entry.get(), record.entry.get());
    }
    // Scanners hold the catalog lock often: one hold for every way down, not one each.
    const std::vector<TreeItemSearch::Way> ways = TreeItemSearch::ways_down(wanted_ways);
    std::vector<TreeItem*> labels;
    std::unordered_set<TreeItem*> to_sync;
    for (std::size_t index = 0; index < ways.size(); ++index) {
        TreeItem* server_item = server_items[index];
        for (TreeItem* above = server_item->parent; above != root_.get(); above = above->parent)
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
    std::vector<TreeItem*> deepest_first(to_sync.begin(), to_sync.end());
    std::vector<std::pair<int, TreeItem*>> by_depth;
    for (TreeItem* item : deepest_first) by_depth.emplace_back(TreeItemSearch::depth(item), item);
    std::sort(by_depth.begin(), by_depth.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Deeper rows first: a sync only removes rows below the one synced.
    if (by_depth.size() > MaxRowSignals)
        in_layout_change(by_depth);
    else
        for (const auto& [depth, item] : by_depth) sync_children(*item);
}

// Each insertion or removal makes Qt walk every persistent index (the views'
// expanded rows among them), so many folders at once change as one layout.
void TreeModel::in_layout_change(const std::vector<std::pair<int, TreeItem*>>& by_depth) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    in_layout_change_ = true;
    for (const auto& [depth, item] : by_depth) sync_children(*item);
    in_layout_change_ = false;
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const TreeItem* item = item_at(index);
        bool gone = false;
        for (const TreeItem* up = item; up != nullptr && !gone; up = up->parent)
            gone = up->has(TreeItem::Removed);
        after.push_back(gone ? QModelIndex() : createIndex(item->row, index.column(), item));
    }
    changePersistentIndexList(before, after);
    removed_.clear();
    emit layoutChanged();
}

void TreeModel::update_node(const TreeEntry* node) {
    std::vector<TreeItem*> labels;
    for (TreeItem* item = TreeItemSearch::node_item(*root_, node);
         item != nullptr && item != root_.get(); item = item->parent)
        labels.push_back(item);
    emit_changed(std::move(labels));
}

void TreeModel::set_expanded(const QModelIndex& index, bool expanded) {
    TreeItem* item = item_at(index);
    if (item == root_.get() || item->has(TreeItem::Expanded) == expanded)
        return;
    item->set(TreeItem::Expanded, expanded);
    emit dataChanged(index, index, {Qt::DecorationRole});
}

// One signal for each run of neighbouring rows.
void TreeModel::emit_changed(std::vector<TreeItem*> items) {
    for (const auto& [first, last] : TreeItemSearch::runs(std::move(items)))
        emit dataChanged(index_of(first), index_of(last));
}

}  // namespace tovan
