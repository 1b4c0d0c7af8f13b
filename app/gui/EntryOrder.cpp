#include "app/gui/EntryOrder.h"

#include <algorithm>
#include <numeric>

#include "app/gui/EntryListModel.h"
#include "app/gui/FileTypes.h"

namespace tovan {

std::vector<std::uint32_t> EntryOrder::sorted(const std::vector<const Entry*>& catalog, int column,
                                              bool descending) {
    std::vector<std::uint32_t> order(catalog.size());
    if (column == EntryListModel::Name) {
        if (descending)
            std::iota(order.rbegin(), order.rend(), 0U);
        else
            std::iota(order.begin(), order.end(), 0U);
        return order;
    }
    std::vector<Keyed> keyed = keys(catalog, column);
    if (descending)
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return a.key != b.key ? a.key > b.key : a.place < b.place;
        });
    else
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return a.key != b.key ? a.key < b.key : a.place < b.place;
        });
    for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].place;
    return order;
}

std::vector<EntryOrder::Keyed> EntryOrder::keys(const std::vector<const Entry*>& catalog,
                                                int column) {
    std::vector<Keyed> keyed(catalog.size());
    std::vector<std::uint64_t> ranks;
    for (std::uint32_t place = 0; place < catalog.size(); ++place) {
        const Entry& entry = *catalog[place];
        std::uint64_t key = 0;
        if (column == EntryListModel::Size) {
            if (entry.is_folder()) {
                CatalogStats totals;
                entry.statistics(totals);
                key = totals.current_size;
            } else {
                key = entry.size();
            }
        } else if (column == EntryListModel::Date) {
            // Signed times in unsigned order: 1969 before 1970.
            key = static_cast<std::uint64_t>(entry.time()) ^ (std::uint64_t{1} << 63);
        } else {
            // Type ids first, while the list of types can still grow.
            key = entry.is_folder() ? FileTypes::Folder
                                    : static_cast<std::uint64_t>(FileTypes::type_of(entry.name()));
        }
        keyed[place] = {key, place};
    }
    if (column == EntryListModel::Type) {
        const std::vector<std::uint64_t> rank = type_ranks();
        for (Keyed& item : keyed) item.key = rank[item.key];
    }
    return keyed;
}

// Each known type's place among the type names in alphabetical order.
std::vector<std::uint64_t> EntryOrder::type_ranks() {
    std::vector<int> types(static_cast<std::size_t>(FileTypes::type_count()));
    std::iota(types.begin(), types.end(), 0);
    std::stable_sort(types.begin(), types.end(), [](int a, int b) {
        return QString::compare(FileTypes::name(a), FileTypes::name(b), Qt::CaseInsensitive) < 0;
    });
    std::vector<std::uint64_t> ranks(types.size());
    for (std::size_t rank = 0; rank < types.size(); ++rank)
        ranks[static_cast<std::size_t>(types[rank])] = rank;
    return ranks;
}

}  // namespace tovan
