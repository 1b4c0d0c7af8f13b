#pragma once

#include <functional>

#include "engine/catalog/Entry.h"
#include "engine/catalog/EntryState.h"

namespace tovan {

// The rules of change marks over the catalog tree: a marked item makes its
// folders "contains changes", a folder loses that mark once nothing below is
// marked, unmarking a deleted item drops it, a deleted folder takes its
// contents with it. The merge and the commands that unmark go through here;
// Entry only stores a state.
class ChangeMarks {
public:
    using Predicate = std::function<bool(const Entry&)>;

    // Marks the entry and carries the consequences up and down the tree; the
    // entry may have left its folder afterwards (an unmarked deleted one).
    static void set(Entry& entry, EntryState state);
    // A folder marked as holding changes loses the mark once nothing below is marked.
    static void settle(Entry& folder);
    // Brings back a deleted entry that exists again, without dropping it.
    static void restore(Entry& entry);
    // Unmarks every child that matches, in one pass (deleted ones leave).
    static void unmark_children_where(Entry& folder, const Predicate& matches);
    // marked_only: a child that merely contains changes does not count.
    static bool has_changed_children(const Entry& folder, bool marked_only);

private:
    static void store(Entry& entry, EntryState state);
    static bool unmark_subtree(Entry& entry);
};

}  // namespace tovan
