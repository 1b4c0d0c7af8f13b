#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <utility>
#include <vector>

#include "app/gui/TreeItem.h"

namespace tovan {

// The rows of a tree model kept in step with what they should show: an update
// compares the rows an item has with the children it should have and emits
// only the removals and insertions between them, so the views keep their
// expansion, selection and scroll position. Many items at once change as one
// layout instead, since each row signal makes Qt walk every persistent index.
class TreeRows : public QAbstractItemModel {
    Q_OBJECT

public:
    // Above this many items to compare in one update, rows change as one layout.
    static constexpr std::size_t MaxRowSignals = 32;

    explicit TreeRows(QObject* parent);
    ~TreeRows() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex index_of(const TreeItem* item) const;

protected:
    // A row an item should have: a node, or a catalog folder.
    struct Wanted {
        SharedPtr<TreeEntry> node;
        SharedPtr<Entry> entry;
        const void* key() const;
    };

    // The children the item should show now, in order.
    virtual std::vector<Wanted> wanted_children(const TreeItem& item) const = 0;

    TreeItem& root() const { return *root_; }
    TreeItem* item_at(const QModelIndex& index) const;
    // Brings the item's rows in step and marks them fetched.
    void sync_children(TreeItem& item);
    // The same for many items, deepest first.
    void sync_all(std::vector<TreeItem*> items);
    // One change signal for each run of neighbouring rows.
    void emit_changed(std::vector<TreeItem*> items);

private:
    void remove_missing(TreeItem& item, const std::vector<Wanted>& wanted);
    void insert_missing(TreeItem& item, const std::vector<Wanted>& wanted);
    void remove_rows(TreeItem& item, int first, int count);
    void renumber(TreeItem& item, std::size_t from);
    void in_layout_change(const std::vector<std::pair<int, TreeItem*>>& by_depth);

    std::unique_ptr<TreeItem> root_;
    bool in_layout_change_ = false;
    std::vector<std::unique_ptr<TreeItem>> removed_;  // until the views let go of them
};

}  // namespace tovan
