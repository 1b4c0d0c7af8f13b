#include "app/gui/EntryListModel.h"

#include <algorithm>
#include <numeric>

#include "app/EntryColumns.h"
#include "app/Options.h"
#include "app/gui/EntryOrder.h"
#include "app/gui/FileTypes.h"
#include "app/gui/TreeLook.h"
#include "engine/catalog/Server.h"

namespace tovan {
namespace {

std::vector<const Entry*> pointers(const std::vector<SharedPtr<Entry>>& rows) {
    std::vector<const Entry*> entries(rows.size());
    std::transform(rows.begin(), rows.end(), entries.begin(),
                   [](const SharedPtr<Entry>& row) { return row.get(); });
    return entries;
}

// Runs of neighbouring rows, first and last, from rows in ascending order.
std::vector<std::pair<int, int>> runs_of(const std::vector<int>& rows) {
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }
    return runs;
}

// The row of each place under an order; empty orders are catalog order.
std::vector<std::uint32_t> inverse(const std::vector<std::uint32_t>& order, std::size_t count) {
    std::vector<std::uint32_t> rows(count);
    if (order.empty())
        std::iota(rows.begin(), rows.end(), 0U);
    for (std::size_t row = 0; row < order.size(); ++row)
        rows[order[row]] = static_cast<std::uint32_t>(row);
    return rows;
}

}  // namespace

EntryListModel::EntryListModel(const Options& options, QObject* parent)
    : QAbstractTableModel(parent), options_(options) {}

EntryListModel::~EntryListModel() = default;

int EntryListModel::default_width(int column) {
    static constexpr int widths[ColumnCount] = {200, 120, 120, 110};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

EntryListModel::Rows EntryListModel::snapshot() const {
    if (!folder_)
        return {};
    Rows rows;
    if (options_.show_changed_only) {
        folder_->for_each_child([&](const InplaceRef<Entry>& child) {
            if (child->state() != EntryState::Unchanged)
                rows.push_back(child.shared());
        });
        rows.shrink_to_fit();
    } else {
        rows = folder_->children();
    }
    // A merge in progress may have appended behind the sorted children.
    if (!std::is_sorted(rows.begin(), rows.end(), Entry::comes_before))
        std::stable_sort(rows.begin(), rows.end(), Entry::comes_before);
    return rows;
}

EntryListModel::Order EntryListModel::display_order(const Rows& catalog) const {
    if (sort_column_ == Name && sort_order_ == Qt::AscendingOrder)
        return {};
    return EntryOrder::sorted(pointers(catalog), sort_column_, sort_order_ == Qt::DescendingOrder);
}

void EntryListModel::show_folder(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder) {
    beginResetModel();
    node_ = node;
    folder_ = folder;
    totals_.clear();
    rows_ = snapshot();
    order_ = display_order(rows_);
    endResetModel();
}

void EntryListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    sort_column_ = column;
    sort_order_ = order;
    Order sorted = display_order(rows_);
    const Order new_row_of_place = inverse(sorted, rows_.size());
    change_layout([&](std::size_t row) { return new_row_of_place[place_of(row)]; }, rows_.size(),
                  [&] { order_ = std::move(sorted); });
}

void EntryListModel::refresh() {
    Rows fresh = snapshot();
    Difference difference = compare(fresh);
    totals_.clear();
    remove_gone(difference);
    insert_new(fresh, difference);
    // Kept rows may sort elsewhere now (a file that grew); by name they cannot.
    Order order = display_order(fresh);
    take_snapshot(std::move(fresh), std::move(order), difference.fresh_places);
    emit_all_changed();
}

// Both sides in catalog order, so one walk pairs them; a file listed anew with
// a change is a new entry under the old name, and keeps the old one's row.
EntryListModel::Difference EntryListModel::compare(const Rows& fresh) {
    Difference difference;
    difference.fresh_places.assign(rows_.size(), 0);
    std::size_t place = 0;
    std::uint32_t next = 0;
    while (place < rows_.size() || next < fresh.size()) {
        if (place == rows_.size()) {
            difference.added.push_back(next++);
            continue;
        }
        SharedPtr<Entry>& shown = rows_[place];
        if (next == fresh.size() || Entry::comes_before(shown, fresh[next])) {
            difference.gone.push_back(static_cast<std::uint32_t>(place++));
            continue;
        }
        if (shown.get() != fresh[next].get()) {
            if (Entry::comes_before(fresh[next], shown)) {
                difference.added.push_back(next++);
                continue;
            }
            shown = fresh[next];
        }
        difference.fresh_places[place++] = next++;
    }
    return difference;
}

void EntryListModel::remove_gone(Difference& difference) {
    if (difference.gone.empty())
        return;
    std::vector<int> rows;
    const Order row_of_place = inverse(order_, rows_.size());
    for (std::uint32_t place : difference.gone)
        rows.push_back(static_cast<int>(row_of_place[place]));
    std::sort(rows.begin(), rows.end());
    const std::vector<std::pair<int, int>> runs = runs_of(rows);
    if (runs.size() <= MaxRowSignals) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            beginRemoveRows({}, run->first, run->second);
            erase_rows(static_cast<std::size_t>(run->first), static_cast<std::size_t>(run->second),
                       difference.fresh_places);
            endRemoveRows();
        }
        return;
    }
    // The rows that stay keep their order; those that go move behind them.
    const std::size_t kept = rows_.size() - rows.size();
    Order order;
    order.reserve(rows_.size());
    Order new_row_of_row(rows_.size());
    auto gone = rows.begin();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (gone != rows.end() && *gone == static_cast<int>(row)) {
            ++gone;
            continue;
        }
        new_row_of_row[row] = static_cast<std::uint32_t>(order.size());
        order.push_back(static_cast<std::uint32_t>(place_of(row)));
    }
    for (int row : rows) {
        new_row_of_row[static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(order.size());
        order.push_back(static_cast<std::uint32_t>(place_of(static_cast<std::size_t>(row))));
    }
    change_layout([&](std::size_t row) { return new_row_of_row[row]; }, kept,
                  [&] { order_ = std::move(order); });
    beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(rows_.size()) - 1);
    erase_rows(kept, rows_.size() - 1, difference.fresh_places);
    endRemoveRows();
}

// Drops rows first to last with their places; the places behind close up.
void EntryListModel::erase_rows(std::size_t first, std::size_t last, Order& fresh_places) {
    if (order_.empty()) {
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        fresh_places.erase(fresh_places.begin() + first, fresh_places.begin() + last + 1);
        return;
    }
    Order closed_up(rows_.size(), 0);
    for (std::size_t row = first; row <= last; ++row) closed_up[order_[row]] = 1;
    std::size_t kept = 0;
    for (std::size_t place = 0; place < rows_.size(); ++place) {
        if (closed_up[place] != 0)
            continue;
        closed_up[place] = static_cast<std::uint32_t>(kept);
        if (kept != place) {
            rows_[kept] = std::move(rows_[place]);
            fresh_places[kept] = fresh_places[place];
        }
        ++kept;
    }
    rows_.resize(kept);
    fresh_places.resize(kept);
    order_.erase(order_.begin() + first, order_.begin() + last + 1);
    for (std::uint32_t& place : order_) place = closed_up[place];
}

void EntryListModel::insert_new(const Rows& fresh, Difference& difference) {
    if (difference.added.empty())
        return;
    std::vector<int> places(difference.added.begin(), difference.added.end());
    const std::vector<std::pair<int, int>> runs = runs_of(places);
    // In catalog order each new child has its final row already: its place.
    if (order_.empty() && runs.size() <= MaxRowSignals) {
        for (const auto& [first, last] : runs) {
            beginInsertRows({}, first, last);
            rows_.insert(rows_.begin() + first, fresh.begin() + first, fresh.begin() + last + 1);
            Order inserted(static_cast<std::size_t>(last - first + 1));
            std::iota(inserted.begin(), inserted.end(), static_cast<std::uint32_t>(first));
            difference.fresh_places.insert(difference.fresh_places.begin() + first,
                                           inserted.begin(), inserted.end());
            endInsertRows();
        }
        return;
    }
    // Otherwise they come in behind the others, and the new order puts them in place.
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(difference.added.size()) - 1);
    for (std::uint32_t place : difference.added) {
        if (!order_.empty())
            order_.push_back(static_cast<std::uint32_t>(rows_.size()));
        rows_.push_back(fresh[place]);
        difference.fresh_places.push_back(place);
    }
    endInsertRows();
}

// The rows hold the snapshot's entries now, in another order: the snapshot and
// its display order replace them, in one layout change when a row moves.
void EntryListModel::take_snapshot(Rows fresh, Order order, const Order& fresh_places) {
    const Order new_row_of_fresh = inverse(order, fresh.size());
    const auto new_row = [&](std::size_t row) {
        return new_row_of_fresh[fresh_places[place_of(row)]];
    };
    bool moved = false;
    for (std::size_t row = 0; row < rows_.size() && !moved; ++row) moved = new_row(row) != row;
    const auto apply = [&] {
        rows_ = std::move(fresh);
        order_ = std::move(order);
    };
    if (moved)
        change_layout(new_row, rows_.size(), apply);
    else
        apply();
}

void EntryListModel::change_layout(const std::function<std::size_t(std::size_t)>& new_row,
                                   std::size_t kept, const std::function<void()>& apply) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const std::size_t row = new_row(static_cast<std::size_t>(index.row()));
        to.push_back(row < kept ? createIndex(static_cast<int>(row), index.column())
                                : QModelIndex());
    }
    apply();
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryListModel::emit_all_changed() {
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void EntryListModel::refresh_texts() {
    totals_.clear();
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

SharedPtr<Entry> EntryListModel::entry_at(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return {};
    return rows_[place_of(static_cast<std::size_t>(row))];
}

int EntryListModel::row_of(const Entry* entry) const {
    const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const SharedPtr<Entry>& row) {
        return row.get() == entry;
    });
    if (found == rows_.end())
        return -1;
    const auto place = static_cast<std::uint32_t>(found - rows_.begin());
    if (order_.empty())
        return static_cast<int>(place);
    return static_cast<int>(std::find(order_.begin(), order_.end(), place) - order_.begin());
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        static const char* const titles[ColumnCount] = {"Name", "Size", "Type", "Date Modified"};
        return tr(titles[section]);
    }
    // A click on another column sorts it ascending first, as the header would not.
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    if (role == Qt::TextAlignmentRole && section == Size)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size())
        return {};
    const Entry& entry = *rows_[place_of(static_cast<std::size_t>(index.row()))];
    switch (role) {
        case Qt::DisplayRole:
            return display(entry, index.column());
        case Qt::DecorationRole:
            return index.column() == Name ? decoration(entry) : QVariant();
        case Qt::ForegroundRole:
            return foreground(entry);
        case Qt::TextAlignmentRole:
            return index.column() == Size ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter)
                                          : QVariant();
        default:
            return {};
    }
}

QVariant EntryListModel::display(const Entry& entry, int column) const {
    switch (column) {
        case Name: {
            const std::string_view name = entry.name();
            return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        }
        case Size:
            return QString::fromStdString(entry.is_folder()
                                              ? folder_size_text(entry.state(), totals(entry))
                                              : size_column_text(entry));
        case Type:
            return entry.is_folder() ? FileTypes::name(FileTypes::Folder)
                                     : FileTypes::type_name(entry.name());
        case Date:
            return QString::fromStdString(date_column_text(entry));
        default:
            return {};
    }
}

QVariant EntryListModel::decoration(const Entry& entry) const {
    if (!entry.is_folder())
        return FileTypes::icon(entry.name());
    switch (entry.state()) {
        case EntryState::New:
            return TreeLook::icon(TreeLook::FolderNew);
        case EntryState::Deleted:
            return TreeLook::icon(TreeLook::FolderDeleted);
        case EntryState::ContainsChanges:
        case EntryState::Modified:
            return TreeLook::icon(TreeLook::FolderChanged);
        case EntryState::Unchanged:
            break;
    }
    return TreeLook::icon(excluded(entry) ? TreeLook::FolderNoScan : TreeLook::Folder);
}

QVariant EntryListModel::foreground(const Entry& entry) const {
    const QColor colour = TreeLook::colour_of(entry.state());
    if (colour.isValid())
        return colour;
    if (entry.is_folder() && excluded(entry))
        return TreeLook::excluded_colour();
    return {};
}

bool EntryListModel::excluded(const Entry& entry) const {
    return node_ && node_->server && node_->server->effective_scan_depth(entry) == Server::NoScan;
}

const CatalogStats& EntryListModel::totals(const Entry& folder) const {
    const auto found = totals_.find(&folder);
    if (found != totals_.end())
        return found->second;
    CatalogStats counted;
    folder.statistics(counted);
    return totals_.emplace(&folder, counted).first->second;
}

}  // namespace tovan
