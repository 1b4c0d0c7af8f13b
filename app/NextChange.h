#pragma once

#include <optional>
#include <unordered_set>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// A place in the tree: a group, a server (folder: its root or empty) or one of a
// server's folders.
struct TreePlace {
    SharedPtr<TreeEntry> node;
    SharedPtr<Entry> folder;
};

// Finds the next folder, in the tree's display order, that directly holds an
// entry marked new, modified or deleted. The walk starts just after from and
// wraps once from the top, so the only changed folder above from is found too.
// Only folders carrying a mark are entered (a mark below always marks the
// folders above), besides the way down to from.
class NextChange {
public:
    struct Filter {
        bool changed_only = false;  // from's folder counts only when marked
        bool online_only = false;   // offline servers are passed over
    };

    static std::optional<TreePlace> find(const SharedPtr<TreeEntry>& root, TreePlace from,
                                         Filter filter);

private:
    NextChange(TreePlace from, Filter filter);
    bool visit_node(const SharedPtr<TreeEntry>& node);
    bool visit_folder(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder);
    bool is_start(const TreeEntry* node, const Entry* folder) const;

    TreePlace from_;
    Filter filter_;
    std::unordered_set<const Entry*> way_to_start_;
    bool past_start_ = false;
    std::optional<TreePlace> first_;
    std::optional<TreePlace> found_;
};

}  // namespace tovan
