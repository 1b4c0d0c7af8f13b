#pragma once

#include <cstdint>

namespace tovan {

struct CatalogStats {
    std::uint32_t files = 0;
    std::uint32_t folders = 0;
    std::uint64_t current_size = 0;   // files not deleted
    std::uint64_t previous_size = 0;  // every file as it was before the marked changes

    CatalogStats& operator+=(const CatalogStats& other) {
        files += other.files;
        folders += other.folders;
        current_size += other.current_size;
        previous_size += other.previous_size;
        return *this;
    }
};

}  // namespace tovan
