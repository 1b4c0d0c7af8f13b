#pragma once

#include <cstddef>
#include <functional>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// The marked entries of catalogs: new, modified and deleted ones. Only folders
// that carry a mark are descended, so an unchanged catalog costs nothing.
class ChangeList {
public:
    using Visit =
        std::function<void(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& entry)>;

    static bool is_change(EntryState state);
    // Every change at or below the folder of the server node, depth first.
    static void walk(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder,
                     const Visit& visit);
    // Every change of every server at or below the node.
    static void walk(const SharedPtr<TreeEntry>& node, const Visit& visit);
    static std::size_t count(const Entry& folder);
    // The changes of every server at or below the node.
    static std::size_t count_below(const TreeEntry& node);
};

}  // namespace tovan::cli
