#include "engine/ListingMerge.h"

namespace tovan {

ListingMerge::ListingMerge(const Server& server, const ScanOptions& options, std::int64_t now,
                           MergeListener& listener)
    : server_(server), options_(options), now_(now), listener_(listener) {}

void ListingMerge::merge(Entry& folder, const Entry& fresh, std::int32_t child_depth,
                         bool new_folder, bool single) {
    child_depth_ = child_depth;
    single_ = single;
    // The listing is detached: no other thread changes it while it is merged.
    const std::vector<SharedPtr<Entry>> items = fresh.children();
    if (items.empty() && !options_.keep_empty_folder_marks) folder.set_state(EntryState::Unchanged);
    if (new_folder) {
        folder.reserve_children(folder.child_count() + items.size());
        for (const SharedPtr<Entry>& item : items) add_new(folder, item);
    } else {
        // Backwards, so that subfolders are queued, front first, in listing order.
        for (std::size_t i = items.size(); i-- > 0;) merge_item(folder, items[i], i);
        handle_gone(folder, items);
    }
    folder.sort_children();
    if (options_.unmark_old_enabled && folder.state() != EntryState::Unchanged)
        unmark_old_changes(folder);
    // A replaced file takes its old mark with it.
    folder.settle();
}

// Sets the mark unless the change filter ignores the item; false when nothing changed.
bool ListingMerge::mark(const SharedPtr<Entry>& item, EntryState state) {
    if (item->state() == state || server_.is_change_ignored(*item)) return false;
    item->set_state(state);
    listener_.marked(item);
    return true;
}

void ListingMerge::queue(const SharedPtr<Entry>& item, std::int32_t depth, bool new_folder) {
    if (item->is_folder() && depth != 0 && !single_) listener_.subfolder_found(item, depth, new_folder);
}

bool ListingMerge::is_recent(std::int64_t time) const {
    return !options_.unmark_old_enabled || (now_ - time) / 3600 <= options_.unmark_old_hours;
}

std::int32_t ListingMerge::depth_for(const Entry& item) const {
    const std::int32_t own = server_.scan_depth(item);
    return own != Server::DefaultDepth ? own : child_depth_;
}

std::int32_t ListingMerge::new_depth(const Entry& item) const {
    return options_.full_scan_new_folders ? Server::FullScan : depth_for(item);
}

void ListingMerge::add_new(Entry& folder, const SharedPtr<Entry>& item) {
    folder.add_child(item);
    if (!item->is_folder() && is_recent(item->time())) mark(item, EntryState::New);
    queue(item, new_depth(*item), true);
}

void ListingMerge::merge_item(Entry& folder, const SharedPtr<Entry>& item, std::size_t index) {
    const SharedPtr<Entry> old = folder.find_child(item->name(), index);
    if (!old) {
        add_new(folder, item);
        return;
    }
    if (old->is_folder() != item->is_folder()) {
        folder.remove_child(old.get());
        add_new(folder, item);
        return;
    }
    if (old->is_folder() || (old->time() == item->time() && old->size() == item->size())) {
        keep_old(old);
        return;
    }
    item->set_previous_size(old->size());
    item->set_previous_time(old->time());
    folder.replace_child(old.get(), item);
    const bool only_time_changed = old->size() == item->size();
    if ((options_.mark_changed_by_mtime || !only_time_changed) && is_recent(item->time()))
        mark(item, EntryState::Modified);
}

// The catalog keeps its entry; one that had been deleted is back.
void ListingMerge::keep_old(const SharedPtr<Entry>& old) {
    if (old->state() == EntryState::Deleted) {
        if (old->is_folder()) {
            // Listed again as a known folder, so its items are matched by name.
            old->restore();
        } else if (!(is_recent(old->time()) && mark(old, EntryState::New))) {
            old->restore();
        }
    }
    if (old->is_folder()) queue(old, depth_for(*old), false);
}

void ListingMerge::handle_gone(Entry& folder, const std::vector<SharedPtr<Entry>>& items) {
    const auto listed = [&](const Entry& child, std::size_t index) {
        return Entry::find_in(items, items.size(), child.name(), index) != Entry::NotFound;
    };
    if (options_.mark_deleted) {
        const std::vector<SharedPtr<Entry>> children = folder.children();
        for (std::size_t i = 0; i < children.size(); ++i)
            if (!listed(*children[i], i)) mark(children[i], EntryState::Deleted);
        return;
    }
    std::size_t index = 0;
    folder.remove_children_where([&](const Entry& child) { return !listed(child, index++); });
}

void ListingMerge::unmark_old_changes(Entry& folder) {
    const std::int64_t hours = options_.unmark_old_hours;
    folder.unmark_children_where([&](const Entry& child) {
        return !child.is_folder() && child.state() != EntryState::Unchanged &&
               (now_ - child.time()) / 3600 > hours;
    });
}

}  // namespace tovan
