#include "app/gui/TreeRows.h"

#include <algorithm>

#include "app/gui/RowMatch.h"
#include "app/gui/TreeItemSearch.h"

namespace tovan {

TreeRows::TreeRows(QObject* parent)
    : QAbstractItemModel(parent), root_(std::make_unique<TreeItem>()) {}

TreeRows::~TreeRows() = default;

const void* TreeRows::Wanted::key() const {
    return node ? static_cast<const void*>(node.get()) : static_cast<const void*>(entry.get());
}

TreeItem* TreeRows::item_at(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer()) : root_.get();
}

QModelIndex TreeRows::index_of(const TreeItem* item) const {
    if (item == nullptr || item == root_.get())
        return {};
    return createIndex(item->row, 0, const_cast<TreeItem*>(item));
}

QModelIndex TreeRows::index(int row, int column, const QModelIndex& parent) const {
    const TreeItem* item = item_at(parent);
    if (column != 0 || row < 0 || static_cast<std::size_t>(row) >= item->children.size())
        return {};
    return createIndex(row, 0, item->children[static_cast<std::size_t>(row)].get());
}

QModelIndex TreeRows::parent(const QModelIndex& child) const {
    const TreeItem* item = item_at(child);
    return item == root_.get() ? QModelIndex() : index_of(item->parent);
}

int TreeRows::rowCount(const QModelIndex& parent) const {
    return parent.column() > 0 ? 0 : static_cast<int>(item_at(parent)->children.size());
}

int TreeRows::columnCount(const QModelIndex&) const {
    return 1;
}

void TreeRows::sync_children(TreeItem& item) {
    const std::vector<Wanted> wanted = wanted_children(item);
    item.set(TreeItem::Fetched, true);
    item.set(TreeItem::FolderChildrenKnown, false);
    if (!item.children.empty())
        remove_missing(item, wanted);
    insert_missing(item, wanted);
}

// Leaves the rows that are still wanted, in the order wanted; a row whose
// place changed goes and comes back.
void TreeRows::remove_missing(TreeItem& item, const std::vector<Wanted>& wanted) {
    // A node's row whose catalog root was replaced is made anew.
    const std::vector<bool> going = row_match::going(
        item.children, wanted, [](const std::unique_ptr<TreeItem>& child, const Wanted& place) {
            return child->is_folder() || child->entry == place.entry;
        });
    row_match::for_each_run_backwards(going, [&](std::size_t first, std::size_t end) {
        remove_rows(item, static_cast<int>(first), static_cast<int>(end - first));
    });
}

void TreeRows::remove_rows(TreeItem& item, int first, int count) {
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

void TreeRows::insert_missing(TreeItem& item, const std::vector<Wanted>& wanted) {
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

void TreeRows::renumber(TreeItem& item, std::size_t from) {
    for (std::size_t row = from; row < item.children.size(); ++row)
        item.children[row]->row = static_cast<int>(row);
}

// One signal for each run of neighbouring rows.
void TreeRows::emit_changed(std::vector<TreeItem*> items) {
    for (const auto& [first, last] : TreeItemSearch::runs(std::move(items)))
        emit dataChanged(index_of(first), index_of(last));
}

// Each insertion or removal makes Qt walk every persistent index (the views'
// expanded rows among them), so many folders at once change as one layout.
void TreeRows::in_layout_change(const std::vector<std::pair<int, TreeItem*>>& by_depth) {
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

void TreeRows::sync_all(std::vector<TreeItem*> items) {
    std::vector<std::pair<int, TreeItem*>> by_depth;
    for (TreeItem* item : items) by_depth.emplace_back(TreeItemSearch::depth(item), item);
    std::sort(by_depth.begin(), by_depth.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Deeper rows first: a sync only removes rows below the one synced.
    if (by_depth.size() > MaxRowSignals)
        in_layout_change(by_depth);
    else
        for (const auto& [depth, item] : by_depth) sync_children(*item);
}

}  // namespace tovan
