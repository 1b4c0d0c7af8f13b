#include "app/gui/EntryOrder.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "app/gui/EntryListModel.h"
#include "app/gui/FileTypes.h"

namespace tovan {
namespace {

constexpr std::size_t Ahead = 8;

}  // namespace

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
        for (Keyed& item : keyed) item.key = ~item.key;
    radix_sort(keyed);
    for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].place;
    return order;
}

std::vector<EntryOrder::Keyed> EntryOrder::keys(const std::vector<const Entry*>& catalog,
                                                int column) {
    std::vector<Keyed> keyed(catalog.size());
    for (std::uint32_t place = 0; place < catalog.size(); ++place) {
        // Entries lie all over the heap: ask for the next ones early.
        if (place + Ahead < catalog.size())
            __builtin_prefetch(catalog[place + Ahead]);
        keyed[place] = {key_of(*catalog[place], column), place};
    }
    if (column == EntryListModel::Type) {
        const std::vector<std::uint64_t> rank = type_ranks();
        for (Keyed& item : keyed) item.key = rank[item.key];
    }
    return keyed;
}

std::uint64_t EntryOrder::key_of(const Entry& entry, int column) {
    if (column == EntryListModel::Size) {
        if (!entry.is_folder())
            return entry.size();
        CatalogStats totals;
        entry.statistics(totals);
        return totals.current_size;
    }
    if (column == EntryListModel::Date) {
        // Signed times in unsigned order: 1969 before 1970.
        return static_cast<std::uint64_t>(entry.time()) ^ (std::uint64_t{1} << 63);
    }
    // Type ids for now, ranked by their names once all are known.
    return entry.is_folder() ? FileTypes::Folder
                             : static_cast<std::uint64_t>(FileTypes::type_of(entry.name()));
}

// Stable, so ties keep the order the keys were made in (catalog order). Digits
// of 11 bits, counted in one pass, and only those that differ between keys get
// a pass of their own: sizes and times have few.
void EntryOrder::radix_sort(std::vector<Keyed>& items) {
    constexpr int Bits = 11;
    constexpr int Digits = (64 + Bits - 1) / Bits;
    constexpr std::uint64_t Mask = (1U << Bits) - 1;
    if (items.empty())
        return;
    std::vector<std::array<std::uint32_t, Mask + 1>> counts(Digits);
    std::uint64_t differ = 0;
    for (const Keyed& item : items) {
        differ |= item.key ^ items.front().key;
        for (int digit = 0; digit < Digits; ++digit)
            ++counts[digit][(item.key >> (digit * Bits)) & Mask];
    }
    std::vector<Keyed> sorted(items.size());
    for (int digit = 0; digit < Digits; ++digit) {
        const int shift = digit * Bits;
        if (((differ >> shift) & Mask) == 0)
            continue;
        std::uint32_t start = 0;
        for (std::uint32_t& next : counts[digit]) start += std::exchange(next, start);
        for (const Keyed& item : items) sorted[counts[digit][(item.key >> shift) & Mask]++] = item;
        items.swap(sorted);
    }
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
