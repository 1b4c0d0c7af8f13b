#include "engine/catalog/Listing.h"

#include <limits>

#include "engine/catalog/CatalogOrder.h"
#include "tovan/Exception.h"

namespace tovan {

void Listing::add(std::string_view name, bool folder, std::uint64_t size, std::int64_t time) {
    // Names are found by 32-bit offsets: four gigabytes of names in one folder
    // would be no folder a file system holds, but must not come out garbled.
    if (names_.size() + name.size() > std::numeric_limits<std::uint32_t>::max())
        throw Exception("a folder lists more names than a scan can hold; exclude it from the scan");
    items_.push_back({static_cast<std::uint32_t>(names_.size()),
                      static_cast<std::uint32_t>(name.size()), size, time, folder});
    names_.append(name);
}

void Listing::add(const Entry& entry) {
    add(entry.name(), entry.is_folder(), entry.size(), entry.time());
}

void Listing::reserve(std::size_t items) {
    items_.reserve(items);
    names_.reserve(items * 24);
}

void Listing::sort() {
    CatalogOrder::sort(
        items_, [](const Item& item) { return item.folder; },
        [this](const Item& item) {
            return std::string_view(names_).substr(item.name_at, item.name_size);
        });
}

SharedPtr<Entry> Listing::make_entry(std::size_t i) const {
    if (is_folder(i)) {
        SharedPtr<Entry> folder = Entry::create_folder(name(i));
        folder->set_time(time(i));
        return folder;
    }
    return Entry::create_file(name(i), item_size(i), time(i));
}

}  // namespace tovan
