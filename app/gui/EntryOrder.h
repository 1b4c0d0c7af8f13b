#pragma once

#include <cstdint>
#include <vector>

#include "engine/catalog/Entry.h"

namespace tovan {

// The order a folder's rows show in, sorted by one column of the list. Keys are
// read from the catalog once per sort, then sorted on their own: going through
// the entries at every comparison costs ten times as much on big folders. Ties
// keep catalog order, in both directions.
class EntryOrder {
public:
    // The places in `catalog` (a folder's children in catalog order), in the
    // order the column gives. By name that is the catalog order itself.
    static std::vector<std::uint32_t> sorted(const std::vector<const Entry*>& catalog, int column,
                                             bool descending);

private:
    struct Keyed {
        std::uint64_t key;
        std::uint32_t place;
    };
    static std::vector<Keyed> keys(const std::vector<const Entry*>& catalog, int column);
    static std::uint64_t key_of(const Entry& entry, int column);
    static void radix_sort(std::vector<Keyed>& items);
    static std::vector<std::uint64_t> type_ranks();
};

}  // namespace tovan
