#include "engine/catalog/Listing.h"

#include <algorithm>

#include "engine/catalog/CatalogOrder.h"
#include "tovan/Exception.h"

namespace tovan {

// Four gigabytes of names in one folder would be no folder a file system holds,
// but must not come out garbled.
void Listing::refuse_names() {
    throw Exception("a folder lists more names than a scan can hold; exclude it from the scan");
}

void Listing::add(const Entry& entry) {
    add(entry.name(), entry.is_folder(), entry.size(), entry.time());
}

void Listing::reserve(std::size_t items) {
    constexpr std::size_t TypicalName = 24;  // bytes
    items_.reserve(items);
    names_.reserve(items * TypicalName);
}

void Listing::clear() {
    // A huge folder's room would otherwise stay with the scan thread.
    constexpr std::size_t KeptItems = 4096;
    if (std::max(items_.capacity(), sort_room_.sorted.capacity()) > KeptItems) {
        items_ = {};
        names_ = {};
        sort_room_ = {};
    }
    items_.clear();
    names_.clear();
}

void Listing::sort() {
    CatalogOrder::sort(
        items_, [](const Item& item) { return item.folder; },
        [this](const Item& item) {
            return std::string_view(names_.data() + item.name_at, item.name_size);
        },
        sort_room_);
}

SharedPtr<Entry> Listing::make_entry(std::size_t i) const {
    return is_folder(i) ? Entry::create_folder(name(i), time(i))
                        : Entry::create_file(name(i), item_size(i), time(i));
}

}  // namespace tovan
