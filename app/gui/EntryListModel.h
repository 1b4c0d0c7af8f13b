#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "engine/catalog/CatalogStats.h"
#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"

namespace tovan {

class Options;

// The contents of one catalog folder as rows: a snapshot of its children
// (shared pointers, never copies), left out the unmarked ones while the
// options show changed items only. It sorts inside itself, since a proxy model
// over a million rows takes seconds, and a refresh compares a new snapshot with
// the rows shown and emits only removals, insertions and changes, so selection,
// current row and scroll position stay. Catalog reads take the catalog lock in
// short holds of their own; no signal is emitted while one is held. Interface
// thread only. Examples: tests/gui/EntryListModelTest.cpp.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Name, Size, Type, Date, ColumnCount };
    // Above this many runs of rows to insert or remove, rows change as one
    // layout: each row signal makes Qt walk its persistent indexes and headers.
    static constexpr std::size_t MaxRowSignals = 32;

    explicit EntryListModel(const Options& options, QObject* parent = nullptr);
    ~EntryListModel() override;

    static int default_width(int column);

    // Shows the folder's children (a server's root for a server), in the
    // current sort.
    void show_folder(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder);
    // The shown folder changed: rows come, go and change in place.
    void refresh();
    // Something deeper down changed: the rows stay, their texts (a folder's
    // total size) may not.
    void refresh_texts();

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sort_column() const { return sort_column_; }
    Qt::SortOrder sort_order() const { return sort_order_; }

    SharedPtr<Entry> entry_at(int row) const;
    const SharedPtr<Entry>& folder() const { return folder_; }
    const SharedPtr<TreeEntry>& node() const { return node_; }
    // -1 when the entry has no row.
    int row_of(const Entry* entry) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    using Rows = std::vector<SharedPtr<Entry>>;
    using Order = std::vector<std::uint32_t>;
    // What a refresh found: the places of rows_ that went (ascending), the
    // place in the new snapshot of each row, and the new children (ascending).
    struct Difference {
        Order gone;
        Order fresh_places;
        Order added;
    };

    Rows snapshot() const;
    std::size_t place_of(std::size_t row) const { return order_.empty() ? row : order_[row]; }
    // The display order of a snapshot in the current sort; empty for catalog order.
    Order display_order(const Rows& catalog) const;
    Difference compare(const Rows& fresh);
    void remove_gone(Difference& difference);
    void erase_rows(std::size_t first, std::size_t last, Order& fresh_places);
    void insert_new(const Rows& fresh, Difference& difference);
    void take_snapshot(Rows fresh, Order order, const Order& fresh_places);
    // Emits one layout change around apply, moving each persistent index to
    // new_row(old row); those moved to `kept` or below go.
    void change_layout(const std::function<std::size_t(std::size_t)>& new_row, std::size_t kept,
                       const std::function<void()>& apply);
    void emit_all_changed();

    QVariant display(const Entry& entry, int column) const;
    QVariant decoration(const Entry& entry) const;
    QVariant foreground(const Entry& entry) const;
    bool excluded(const Entry& entry) const;
    const CatalogStats& totals(const Entry& folder) const;

    const Options& options_;
    SharedPtr<TreeEntry> node_;
    SharedPtr<Entry> folder_;
    // The snapshot in catalog order, and the place of each row in it unless the
    // rows show in catalog order (by name, ascending). Sorting changes only the
    // order: moving a million shared pointers costs more than the sort.
    Rows rows_;
    Order order_;
    int sort_column_ = Name;
    Qt::SortOrder sort_order_ = Qt::AscendingOrder;
    // Totals of the folder rows painted since the last change of the folder.
    mutable std::unordered_map<const Entry*, CatalogStats> totals_;
};

}  // namespace tovan
