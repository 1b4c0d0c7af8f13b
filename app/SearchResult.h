#pragma once

#include <cstdint>
#include <string>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One entry a search found, with what its row shows.
struct SearchResult {
    SharedPtr<TreeEntry> server;  // the server node searched
    SharedPtr<Entry> entry;
    std::string url;         // as the entry's server forms it
    std::uint64_t size = 0;  // files only
    bool is_folder = false;
};

}  // namespace tovan
