#include "app/gui/EntryListModel.h"

#include <algorithm>

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

}  // namespace

struct EntryListModel::Difference {
    std::vector<int> gone;  // ascending
    std::vector<std::uint32_t> place_of_row;
    std::vector<std::uint32_t> added;  // ascending
};

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
    if (!options_.show_changed_only) {
        Rows rows = folder_->children();
        // A merge in progress may have appended behind the sorted children.
        if (!std::is_sorted(rows.begin(), rows.end(), Entry::comes_before))
            std::stable_sort(rows.begin(), rows.end(), Entry::comes_before);
        return rows;
    }
    Rows rows;
    folder_->for_each_child([&](const SharedPtr<Entry>& child) {
        if (child->state() != EntryState::Unchanged)
            rows.push_back(child);
    });
    rows.shrink_to_fit();
    if (!std::is_sorted(rows.begin(), rows.end(), Entry::comes_before))
        std::stable_sort(rows.begin(), rows.end(), Entry::comes_before);
    return rows;
}

void EntryListModel::show_folder(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder) {
    beginResetModel();
    node_ = node;
    folder_ = folder;
    totals_.clear();
    Rows fresh = snapshot();
    const std::vector<std::uint32_t> order =
        EntryOrder::sorted(pointers(fresh), sort_column_, sort_order_ == Qt::DescendingOrder);
    arrange(std::move(fresh), order);
    endResetModel();
}

void EntryListModel::arrange(Rows catalog, const std::vector<std::uint32_t>& order) {
    std::vector<std::uint32_t>().swap(catalog_places_);
    if (by_catalog() && sort_order_ == Qt::AscendingOrder) {
        rows_ = std::move(catalog);
        return;
    }
    rows_.assign(catalog.size(), {});
    for (std::size_t row = 0; row < order.size(); ++row)
        rows_[row] = std::move(catalog[order[row]]);
    if (!by_catalog())
        catalog_places_ = order;
}

std::uint32_t EntryListModel::catalog_place(std::size_t row) const {
    if (!catalog_places_.empty())
        return catalog_places_[row];
    const std::size_t place = sort_order_ == Qt::AscendingOrder ? row : rows_.size() - 1 - row;
    return static_cast<std::uint32_t>(place);
}

void EntryListModel::refresh() {
    const Rows fresh = snapshot();
    Difference difference = compare(fresh);
    catalog_places_ = std::move(difference.place_of_row);
    totals_.clear();
    remove_rows(difference);
    insert_rows(fresh, difference);
    // Kept rows may sort elsewhere now (a file that grew); by name they cannot.
    const std::vector<std::uint32_t> order =
        EntryOrder::sorted(pointers(fresh), sort_column_, sort_order_ == Qt::DescendingOrder);
    std::vector<std::uint32_t> row_of_place(order.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        row_of_place[order[row]] = static_cast<std::uint32_t>(row);
    std::vector<std::uint32_t> new_row_of_row(rows_.size());
    bool moved = false;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        new_row_of_row[row] = row_of_place[catalog_places_[row]];
        moved = moved || new_row_of_row[row] != row;
    }
    if (moved)
        reorder(new_row_of_row, rows_.size());
    if (by_catalog())
        std::vector<std::uint32_t>().swap(catalog_places_);
    emit_all_changed();
}

// Both sides in catalog order, so one walk pairs them; a file listed anew with
// a change is a new entry under the old name, and keeps the old one's row.
EntryListModel::Difference EntryListModel::compare(const Rows& fresh) {
    Difference difference;
    const std::size_t count = rows_.size();
    std::vector<std::uint32_t> row_at_place(count);
    for (std::size_t row = 0; row < count; ++row)
        row_at_place[catalog_place(row)] = static_cast<std::uint32_t>(row);
    difference.place_of_row.assign(count, 0);
    std::size_t place = 0;
    std::uint32_t next = 0;
    while (place < count || next < fresh.size()) {
        if (place == count) {
            difference.added.push_back(next++);
            continue;
        }
        const std::uint32_t row = row_at_place[place];
        SharedPtr<Entry>& shown = rows_[row];
        if (next == fresh.size() || Entry::comes_before(shown, fresh[next])) {
            difference.gone.push_back(static_cast<int>(row));
            ++place;
            continue;
        }
        if (shown.get() != fresh[next].get()) {
            if (Entry::comes_before(fresh[next], shown)) {
                difference.added.push_back(next++);
                continue;
            }
            shown = fresh[next];
        }
        difference.place_of_row[row] = next++;
        ++place;
    }
    std::sort(difference.gone.begin(), difference.gone.end());
    return difference;
}

void EntryListModel::remove_rows(Difference& difference) {
    const std::vector<std::pair<int, int>> runs = runs_of(difference.gone);
    if (runs.size() <= MaxRowSignals) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            beginRemoveRows({}, run->first, run->second);
            rows_.erase(rows_.begin() + run->first, rows_.begin() + run->second + 1);
            catalog_places_.erase(catalog_places_.begin() + run->first,
                                  catalog_places_.begin() + run->second + 1);
            endRemoveRows();
        }
        return;
    }
    // The rows that stay keep their order; those that go move behind them.
    const std::size_t kept = rows_.size() - difference.gone.size();
    std::vector<std::uint32_t> new_row_of_row(rows_.size());
    std::size_t next_kept = 0;
    std::size_t next_gone = kept;
    auto gone = difference.gone.begin();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const bool goes = gone != difference.gone.end() && *gone == static_cast<int>(row);
        gone += goes ? 1 : 0;
        new_row_of_row[row] = static_cast<std::uint32_t>(goes ? next_gone++ : next_kept++);
    }
    reorder(new_row_of_row, kept);
    beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(rows_.size()) - 1);
    rows_.resize(kept);
    catalog_places_.resize(kept);
    endRemoveRows();
}

void EntryListModel::insert_rows(const Rows& fresh, Difference& difference) {
    if (difference.added.empty())
        return;
    // By name each new child has its final row already: its catalog place, or
    // counted from the end when descending.
    std::vector<int> rows;
    rows.reserve(difference.added.size());
    const bool descending = sort_order_ == Qt::DescendingOrder;
    for (std::uint32_t place : difference.added)
        rows.push_back(descending ? static_cast<int>(fresh.size() - 1 - place)
                                  : static_cast<int>(place));
    if (descending)
        std::reverse(rows.begin(), rows.end());
    const std::vector<std::pair<int, int>> runs = runs_of(rows);
    if (by_catalog() && runs.size() <= MaxRowSignals) {
        for (const auto& [first, last] : runs) {
            Rows run;
            std::vector<std::uint32_t> places;
            for (int row = first; row <= last; ++row) {
                const std::size_t place = descending ? fresh.size() - 1 - row : row;
                run.push_back(fresh[place]);
                places.push_back(static_cast<std::uint32_t>(place));
            }
            beginInsertRows({}, first, last);
            rows_.insert(rows_.begin() + first, run.begin(), run.end());
            catalog_places_.insert(catalog_places_.begin() + first, places.begin(), places.end());
            endInsertRows();
        }
        return;
    }
    // Otherwise they come in behind the others, and the sort puts them in place.
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(difference.added.size()) - 1);
    for (std::uint32_t place : difference.added) {
        rows_.push_back(fresh[place]);
        catalog_places_.push_back(place);
    }
    endInsertRows();
}

// Moves every row to its new row in one layout change, so that selection and
// current row follow; persistent indexes of rows from `kept` on go invalid.
void EntryListModel::reorder(const std::vector<std::uint32_t>& new_row_of_row, std::size_t kept) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    Rows rows(rows_.size());
    std::vector<std::uint32_t> places(catalog_places_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        rows[new_row_of_row[row]] = std::move(rows_[row]);
        if (!places.empty())
            places[new_row_of_row[row]] = catalog_places_[row];
    }
    rows_.swap(rows);
    catalog_places_.swap(places);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const std::uint32_t row = new_row_of_row[static_cast<std::size_t>(index.row())];
        to.push_back(row < kept ? createIndex(static_cast<int>(row), index.column())
                                : QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryListModel::emit_all_changed() {
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void EntryListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    std::vector<std::uint32_t> places(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) places[row] = catalog_place(row);
    std::vector<const Entry*> entries(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) entries[places[row]] = rows_[row].get();
    sort_column_ = column;
    sort_order_ = order;
    catalog_places_ = std::move(places);
    const std::vector<std::uint32_t> sorted =
        EntryOrder::sorted(entries, column, order == Qt::DescendingOrder);
    std::vector<std::uint32_t> row_of_place(sorted.size());
    for (std::size_t row = 0; row < sorted.size(); ++row)
        row_of_place[sorted[row]] = static_cast<std::uint32_t>(row);
    std::vector<std::uint32_t> new_row_of_row(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row)
        new_row_of_row[row] = row_of_place[catalog_places_[row]];
    reorder(new_row_of_row, rows_.size());
    if (by_catalog())
        std::vector<std::uint32_t>().swap(catalog_places_);
}

void EntryListModel::refresh_texts() {
    if (rowCount() != 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

SharedPtr<Entry> EntryListModel::entry_at(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return {};
    return rows_[static_cast<std::size_t>(row)];
}

int EntryListModel::row_of(const Entry* entry) const {
    const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const SharedPtr<Entry>& row) {
        return row.get() == entry;
    });
    return found != rows_.end() ? static_cast<int>(found - rows_.begin()) : -1;
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
    const Entry& entry = *rows_[static_cast<std::size_t>(index.row())];
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
