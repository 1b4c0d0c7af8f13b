#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace tovan::row_match {

// What identifies a row: key() of the row, or of what it points to.
template <class Row>
const void* key_of(const Row& row) {
    if constexpr (requires { row->key(); })
        return row->key();
    else
        return row.key();
}

// Which of the rows shown go before the rows wanted can be shown: the rows
// still wanted stay, in the order wanted; a row whose place changed goes and
// comes back. keep(row, place) may refuse a row the place its key has.
template <class Shown, class Wanted, class Keep>
std::vector<bool> going(const std::vector<Shown>& shown, const std::vector<Wanted>& wanted,
                        Keep keep) {
    std::unordered_map<const void*, std::size_t> place;
    place.reserve(wanted.size());
    for (std::size_t at = 0; at < wanted.size(); ++at) place.emplace(key_of(wanted[at]), at);
    std::vector<bool> going(shown.size(), false);
    std::size_t next_place = 0;
    for (std::size_t row = 0; row < shown.size(); ++row) {
        const auto found = place.find(key_of(shown[row]));
        going[row] = found == place.end() || found->second < next_place ||
                     !keep(shown[row], wanted[found->second]);
        if (!going[row])
            next_place = found->second + 1;
    }
    return going;
}

// Calls remove(first, end) for each run of going rows, the last run first, so
// that the rows before a run keep their places.
template <class Remove>
void for_each_run_backwards(const std::vector<bool>& going, Remove remove) {
    for (std::size_t end = going.size(); end > 0;) {
        if (!going[end - 1]) {
            --end;
            continue;
        }
        std::size_t first = end - 1;
        while (first > 0 && going[first - 1]) --first;
        remove(first, end);
        end = first;
    }
}

}  // namespace tovan::row_match
