#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace tovan {

// Catalog order: folders first, then names byte by byte as unsigned characters.
// Entries, references to them and a listing's plain records all sort by it.
struct CatalogOrder {
private:
    struct Key {
        std::uint64_t head;  // files' flag, then the name's first seven bytes
        std::uint32_t index;

        static Key of(bool folder, std::string_view name, std::size_t index) {
            std::uint64_t head = name_head(name);
            if (!folder)
                head |= std::uint64_t{1} << 56;
            return {head, static_cast<std::uint32_t>(index)};
        }
    };

public:
    static bool precedes(bool a_folder, std::string_view a_name, bool b_folder,
                         std::string_view b_name) {
        if (a_folder != b_folder)
            return a_folder;
        return a_name < b_name;
    }

    // What sorting needs beside the items, kept by a caller that sorts often.
    template <class Item>
    struct Room {
        std::vector<Key> keys;
        std::vector<Item> sorted;
    };

    // Puts items into catalog order unless they are in it already; items of the
    // same place keep their order. folder_of and name_of read an item.
    template <class Item, class FolderOf, class NameOf>
    static void sort(std::vector<Item>& items, FolderOf folder_of, NameOf name_of) {
        Room<Item> room;
        sort(items, folder_of, name_of, room);
    }

    // The same in the room given; afterwards the room holds the items' old storage.
    template <class Item, class FolderOf, class NameOf>
    static void sort(std::vector<Item>& items, FolderOf folder_of, NameOf name_of,
                     Room<Item>& room) {
        const auto before = [&](const Item& a, const Item& b) {
            return precedes(folder_of(a), name_of(a), folder_of(b), name_of(b));
        };
        if (std::is_sorted(items.begin(), items.end(), before))
            return;
        // Keys of 16 bytes move fast; names are read only where the first seven
        // bytes tie, instead of through two scattered items at every step.
        std::vector<Key>& keys = room.keys;
        keys.clear();
        keys.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            keys.push_back(Key::of(folder_of(items[i]), name_of(items[i]), i));
        std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
            if (a.head != b.head)
                return a.head < b.head;
            const std::string_view a_name = name_of(items[a.index]);
            const std::string_view b_name = name_of(items[b.index]);
            if (a_name != b_name)
                return a_name < b_name;
            return a.index < b.index;
        });
        std::vector<Item>& sorted = room.sorted;
        sorted.clear();
        sorted.reserve(items.size());
        for (const Key& key : keys) sorted.push_back(std::move(items[key.index]));
        items.swap(sorted);
        sorted.clear();
    }

private:
    // The first seven bytes, the first in the highest place, so that numbers
    // compare as the bytes do.
    static std::uint64_t name_head(std::string_view name) {
        if (name.size() >= 8) {
            std::uint64_t bytes;
            std::memcpy(&bytes, name.data(), sizeof bytes);
            if constexpr (std::endian::native == std::endian::little)
                bytes = __builtin_bswap64(bytes);
            return bytes >> 8;
        }
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < name.size() && i < 7; ++i)
            head |= std::uint64_t{static_cast<unsigned char>(name[i])} << (48 - 8 * i);
        return head;
    }
};

}  // namespace tovan
