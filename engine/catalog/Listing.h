#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/CatalogOrder.h"
#include "engine/catalog/Entry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One folder's listing as plain records: what a finder saw, before any of it is
// a catalog entry. Names share one buffer, so an item costs no allocation of its
// own, and a rescan makes entries only for what is new or changed.
class Listing {
public:
    // Inline: a scan adds every item of every folder.
    void add(std::string_view name, bool folder, std::uint64_t size, std::int64_t time) {
        if (names_.size() + name.size() > MaxNames) [[unlikely]]
            refuse_names();
        items_.push_back({static_cast<std::uint32_t>(names_.size()),
                          static_cast<std::uint32_t>(name.size()), size, time, folder});
        names_.append(name);
    }
    void add(const Entry& entry);
    void reserve(std::size_t items);
    // Empties the listing but keeps its room, unless that grew large.
    void clear();

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    std::string_view name(std::size_t i) const {
        // Offsets are the listing's own, so no bounds check is needed.
        return {names_.data() + items_[i].name_at, items_[i].name_size};
    }
    bool is_folder(std::size_t i) const { return items_[i].folder; }
    // Folders have no size.
    std::uint64_t item_size(std::size_t i) const { return items_[i].folder ? 0 : items_[i].size; }
    std::int64_t time(std::size_t i) const { return items_[i].time; }

    // Puts the items into catalog order; items of the same name keep theirs.
    void sort();
    // A new detached entry for the item.
    SharedPtr<Entry> make_entry(std::size_t i) const;

private:
    // Names are found by 32-bit offsets.
    static constexpr std::size_t MaxNames = UINT32_MAX;
    [[noreturn]] static void refuse_names();

    struct Item {
        std::uint32_t name_at;
        std::uint32_t name_size;
        std::uint64_t size;
        std::int64_t time;
        bool folder;
    };

    std::vector<Item> items_;
    std::string names_;
    // Kept between folders, as the rest of the listing's room is.
    CatalogOrder::Room<Item> sort_room_;
};

}  // namespace tovan
