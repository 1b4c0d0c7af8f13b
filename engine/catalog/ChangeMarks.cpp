#include "engine/catalog/ChangeMarks.h"

#include "engine/catalog/CatalogLock.h"

namespace tovan {

void ChangeMarks::set(Entry& entry, EntryState state) {
    CatalogGuard guard(catalog_lock());
    if (entry.state() == state)
        return;
    Entry* up = entry.parent();
    if (entry.state() == EntryState::Deleted && state == EntryState::Unchanged) {
        // Unmarking a deleted item drops it; the entry may be gone afterwards.
        if (up != nullptr) {
            up->remove_child(&entry);
            settle(*up);
        }
        return;
    }
    store(entry, state);
    if (entry.is_folder() && state == EntryState::Deleted) {
        entry.for_each_child(
            [](const InplaceRef<Entry>& child) { set(*child, EntryState::Deleted); });
    } else if (entry.is_folder() && state == EntryState::Unchanged) {
        entry.keep_children_if([](Entry& child) { return unmark_subtree(child); });
    }
    // Only an unmarked entry can leave its folder with nothing marked.
    if (up != nullptr && state == EntryState::Unchanged)
        settle(*up);
}

void ChangeMarks::settle(Entry& folder) {
    CatalogGuard guard(catalog_lock());
    if (folder.state() == EntryState::ContainsChanges && !has_changed_children(folder, false))
        set(folder, EntryState::Unchanged);
}

void ChangeMarks::restore(Entry& entry) {
    CatalogGuard guard(catalog_lock());
    if (entry.state() != EntryState::Deleted)
        return;
    store(entry, entry.is_folder() && has_changed_children(entry, false)
                     ? EntryState::ContainsChanges
                     : EntryState::Unchanged);
    if (Entry* up = entry.parent())
        settle(*up);
}

void ChangeMarks::unmark_children_where(Entry& folder, const Predicate& matches) {
    CatalogGuard guard(catalog_lock());
    if (!folder.is_folder())
        return;
    folder.keep_children_if([&](Entry& child) { return !matches(child) || unmark_subtree(child); });
    settle(folder);
}

bool ChangeMarks::has_changed_children(const Entry& folder, bool marked_only) {
    bool changed = false;
    folder.any_child([&](const Entry& child) {
        const EntryState state = child.state();
        changed = state != EntryState::Unchanged &&
                  !(marked_only && state == EntryState::ContainsChanges);
        return changed;
    });
    return changed;
}

// A marked entry makes an unmarked folder above it one that contains changes.
void ChangeMarks::store(Entry& entry, EntryState state) {
    entry.store_state(state);
    Entry* up = entry.parent();
    if (state != EntryState::Unchanged && up != nullptr && up->state() == EntryState::Unchanged)
        set(*up, EntryState::ContainsChanges);
}

// Unmarks the entry and everything below it without looking upward (the caller
// settles the parent once); false when the entry was deleted and must leave.
bool ChangeMarks::unmark_subtree(Entry& entry) {
    const EntryState state = entry.state();
    if (state == EntryState::Deleted)
        return false;
    // An unmarked entry has nothing marked below it.
    if (state == EntryState::Unchanged)
        return true;
    store(entry, EntryState::Unchanged);
    if (entry.is_folder())
        entry.keep_children_if([](Entry& child) { return unmark_subtree(child); });
    return true;
}

}  // namespace tovan
