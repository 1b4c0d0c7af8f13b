#include "engine/catalog/ListingMerge.h"

#include <algorithm>
#include <functional>

#include "engine/catalog/CatalogOrder.h"
#include "engine/catalog/ChangeMarks.h"
#include "tovan/Utf8Case.h"

namespace tovan {

ListingMerge::ListingMerge(const Server& server, const ScanOptions& options, std::int64_t now,
                           MergeListener& listener)
    : server_(server), options_(options), now_(now), listener_(listener) {}

void ListingMerge::merge(Entry& folder, const Entry& fresh, std::int32_t child_depth,
                         bool new_folder, bool single) {
    // The listing is detached: no other thread changes it while it is merged.
    Listing listing;
    for (const SharedPtr<Entry>& item : fresh.children()) listing.add(*item);
    merge_listing(folder, listing, child_depth, new_folder, single);
}

void ListingMerge::merge_listing(Entry& folder, Listing& listing, std::int32_t child_depth,
                                 bool new_folder, bool single) {
    child_depth_ = child_depth;
    single_ = single;
    folder_ = &folder;
    folded_path_.reset();
    if (!new_folder)
        folder.prefetch_children();  // arriving while the listing sorts
    listing.sort();
    if (listing.empty() && !options_.keep_empty_folder_marks && !keep_missing_)
        ChangeMarks::set(folder, EntryState::Unchanged);
    if (new_folder) {
        // All in place under one hold of the lock before any is marked or queued.
        // The folders are among those marked, so placing those places them all.
        std::vector<InplaceRef<Entry>> items;
        items.reserve(listing.size());
        std::vector<SharedPtr<Entry>> to_mark;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            SharedPtr<Entry> item = listing.make_entry(i);
            if (is_marked_when_added(*item))
                to_mark.push_back(item);
            items.emplace_back(std::move(item));
        }
        place_folders(to_mark);
        folder.add_children(std::move(items));  // leaves the children in order
        for (const SharedPtr<Entry>& item : to_mark) mark_added(item);
    } else {
        std::vector<SharedPtr<Entry>> gone;
        if (merge_known(folder, listing, gone)) {
            if (!keep_missing_)
                handle_gone(folder, gone);
            folder.sort_children();
        }
    }
    if (options_.unmark_old_enabled && folder.state() != EntryState::Unchanged)
        unmark_old_changes(folder);
    // A replaced file takes its old mark with it.
    ChangeMarks::settle(folder);
}

// Folders learn their path only as they enter the catalog: on a rescan, nearly
// every listed folder is already known, and its copy is dropped. The pool is
// searched once per listing; the other new folders share what the first found.
void ListingMerge::place_folders(const std::vector<SharedPtr<Entry>>& items) const {
    const Entry* placed = nullptr;
    for (const SharedPtr<Entry>& item : items) {
        if (!item->is_folder())
            continue;
        if (placed != nullptr) {
            item->share_path(*placed);
            continue;
        }
        item->set_path(folder_->path_for_children());
        placed = item.get();
    }
}

// Sets the mark unless the change filter ignores the item; false when nothing changed.
bool ListingMerge::mark(const SharedPtr<Entry>& item, EntryState state) {
    if (item->state() == state || ignores(*item, false))
        return false;
    set_mark(item, state);
    return true;
}

void ListingMerge::set_mark(const SharedPtr<Entry>& item, EntryState state) {
    ChangeMarks::set(*item, state);
    listener_.marked(item);
}

// Folded once per merge, and only when an item is checked: most listings of a
// rescan change nothing, and folding a long path costs more than the rest of
// their merge.
const std::string& ListingMerge::folded_path() {
    if (!folded_path_)
        folded_path_ = to_lower_utf8(folder_->path_for_children());
    return *folded_path_;
}

// Whether the change filter ignores an item of the merged folder, and with
// everything_below all it holds. Only a filter that ignores something needs the
// folded path.
bool ListingMerge::ignores(const Entry& item, bool everything_below) {
    if (server_.marks_every_change())
        return false;
    return everything_below ? ignores_all(item, folded_path()) : is_ignored(item, folded_path());
}

bool ListingMerge::is_ignored(const Entry& item, const std::string& folded_path) const {
    std::string name = to_lower_utf8(item.name());
    return server_.is_change_ignored_folded(name, folded_path + name);
}

// True when the filter ignores the item and everything below it.
bool ListingMerge::ignores_all(const Entry& item, const std::string& folded_path) const {
    if (!is_ignored(item, folded_path))
        return false;
    const std::string below = folded_path + to_lower_utf8(item.name()) + '/';
    for (const SharedPtr<Entry>& child : item.children())
        if (!ignores_all(*child, below))
            return false;
    return true;
}

void ListingMerge::queue(const SharedPtr<Entry>& item, std::int32_t depth, bool new_folder) {
    if (item->is_folder() && depth != 0 && !single_)
        listener_.subfolder_found(item, depth, new_folder);
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

// Folders are queued, recent files marked new; older files stay as listed.
bool ListingMerge::is_marked_when_added(const Entry& item) const {
    return item.is_folder() || is_recent(item.time());
}

void ListingMerge::mark_added(const SharedPtr<Entry>& item) {
    if (!is_marked_when_added(*item))
        return;
    if (item->is_folder())
        queue(item, new_depth(*item), true);
    else
        mark(item, EntryState::New);
}

// The children change in three batches (replacements in place, removals in one
// pass, additions in one merge); marks and queues follow once all are in place.
// Only added and replaced items become entries: a kept one is already there.
bool ListingMerge::merge_known(Entry& folder, const Listing& listing,
                               std::vector<SharedPtr<Entry>>& gone) {
    folder.sort_children();
    if (merge_unchanged(folder, listing))
        return false;
    const std::vector<SharedPtr<Entry>> known = folder.children();
    const std::vector<Match> matches = match_items(known, listing, gone);
    std::vector<SharedPtr<Entry>> made(listing.size());
    std::vector<const Entry*> retyped;
    std::vector<SharedPtr<Entry>> added;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const Match& match = matches[i];
        if (match.fate == Fate::Added) {
            if (match.old != Unmatched)
                retyped.push_back(known[match.old].get());
            made[i] = listing.make_entry(i);
            added.push_back(made[i]);
        } else if (match.fate == Fate::Replaced) {
            const Entry& old = *known[match.old];
            made[i] = listing.make_entry(i);
            made[i]->set_previous_size(old.size());
            made[i]->set_previous_time(old.time());
            folder.replace_child(&old, made[i]);
        }
    }
    remove_all(folder, std::move(retyped));
    place_folders(added);
    folder.add_children(std::move(added));
    // Backwards, so that subfolders are queued, front first, in listing order.
    for (std::size_t i = listing.size(); i-- > 0;) {
        switch (matches[i].fate) {
            case Fate::Added:
                mark_added(made[i]);
                break;
            case Fate::Kept:
                keep_old(known[matches[i].old]);
                break;
            case Fate::Replaced:
                mark_replaced(made[i], *known[matches[i].old]);
                break;
            case Fate::Repeated:
                break;
        }
    }
    return true;
}

inline bool ListingMerge::is_repeated(const Listing& listing, std::size_t i) {
    return i > 0 && listing.is_folder(i - 1) == listing.is_folder(i) &&
           listing.name(i - 1) == listing.name(i);
}

inline bool ListingMerge::same_item(const Entry& known, const Listing& listing, std::size_t i) {
    return known.is_folder() == listing.is_folder(i) && known.name() == listing.name(i);
}

inline ListingMerge::Fate ListingMerge::fate_of(const Entry& old, const Listing& listing,
                                                std::size_t i) {
    // One of another kind leaves, and the item comes in as new.
    if (old.is_folder() != listing.is_folder(i))
        return Fate::Added;
    const bool same =
        old.is_folder() || (old.time() == listing.time(i) && old.size() == listing.item_size(i));
    return same ? Fate::Kept : Fate::Replaced;
}

// Most folders of a rescan are as they were: every child listed again, of the same
// kind, size and time, and none marked deleted. Then only the subfolders are queued,
// and no child is copied, paired or put back. False, with nothing done, otherwise.
bool ListingMerge::merge_unchanged(const Entry& folder, const Listing& listing) {
    std::vector<SharedPtr<Entry>> folders;
    const bool unchanged =
        folder.children_match(listing.size(), [&](const InplaceRef<Entry>& child, std::size_t i) {
            const Entry& known = *child;
            if (known.state() == EntryState::Deleted || !same_item(known, listing, i) ||
                is_repeated(listing, i) || fate_of(known, listing, i) != Fate::Kept)
                return false;
            if (known.is_folder())
                folders.push_back(child.shared());
            return true;
        });
    if (!unchanged)
        return false;
    // Backwards, as the full merge queues them.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        queue(*folder, depth_for(**folder), false);
    return true;
}

// What each listed item is to the folder's children (known, sorted), and the
// children no item matched.
std::vector<ListingMerge::Match> ListingMerge::match_items(
    const std::vector<SharedPtr<Entry>>& known, const Listing& listing,
    std::vector<SharedPtr<Entry>>& gone) {
    const std::size_t files =
        std::partition_point(known.begin(), known.end(),
                             [](const SharedPtr<Entry>& e) { return e->is_folder(); }) -
        known.begin();
    std::vector<char> listed(known.size(), 0);
    std::vector<Match> matches(listing.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (is_repeated(listing, i)) {
            matches[i].fate = Fate::Repeated;  // a name listed twice is merged once
            continue;
        }
        const std::size_t old = find_known(known, files, next, listing, i);
        if (old == Entry::NotFound)
            continue;
        listed[old] = 1;
        matches[i] = {static_cast<std::uint32_t>(old), fate_of(*known[old], listing, i)};
    }
    for (std::size_t k = 0; k < known.size(); ++k)
        if (!listed[k])
            gone.push_back(known[k]);
    return matches;
}

// Both lists are in catalog order, so the child of the item's kind and name is
// at next or after children that no item lists (next only moves forward); an
// item without one may have one of the other kind, a file that became a folder.
std::size_t ListingMerge::find_known(const std::vector<SharedPtr<Entry>>& known, std::size_t files,
                                     std::size_t& next, const Listing& listing, std::size_t i) {
    if (next < known.size() && same_item(*known[next], listing, i))
        return next++;
    const bool folder = listing.is_folder(i);
    const std::string_view name = listing.name(i);
    while (next < known.size() &&
           CatalogOrder::precedes(known[next]->is_folder(), known[next]->name(), folder, name))
        ++next;
    if (next < known.size() && same_item(*known[next], listing, i))
        return next++;
    const auto first = known.begin() + (folder ? files : 0);
    const auto last = folder ? known.end() : known.begin() + files;
    const auto found = std::lower_bound(
        first, last, name,
        [](const SharedPtr<Entry>& e, std::string_view n) { return e->name() < n; });
    if (found == last || (*found)->name() != name)
        return Entry::NotFound;
    return found - known.begin();
}

void ListingMerge::mark_replaced(const SharedPtr<Entry>& item, const Entry& old) {
    const bool only_time_changed = old.size() == item->size();
    if ((options_.mark_changed_by_mtime || !only_time_changed) && is_recent(item->time()))
        mark(item, EntryState::Modified);
}

// The catalog keeps its entry; one that had been deleted is back.
void ListingMerge::keep_old(const SharedPtr<Entry>& old) {
    if (old->state() == EntryState::Deleted) {
        if (old->is_folder()) {
            // Listed again as a known folder, so its items are matched by name.
            ChangeMarks::restore(*old);
        } else if (!(is_recent(old->time()) && mark(old, EntryState::New))) {
            ChangeMarks::restore(*old);
        }
    }
    if (old->is_folder())
        queue(old, depth_for(*old), false);
}

// A gone item is marked deleted, or leaves the catalog when deletions are not
// marked or when the filter ignores it and all it held.
void ListingMerge::handle_gone(Entry& folder, const std::vector<SharedPtr<Entry>>& gone) {
    std::vector<const Entry*> leaving;
    for (const SharedPtr<Entry>& child : gone) {
        if (options_.mark_deleted && child->state() == EntryState::Deleted)
            continue;
        if (!options_.mark_deleted || ignores(*child, true))
            leaving.push_back(child.get());
        else
            set_mark(child, EntryState::Deleted);
    }
    remove_all(folder, std::move(leaving));
}

// In one pass over the children, whatever their number.
void ListingMerge::remove_all(Entry& folder, std::vector<const Entry*> leaving) {
    if (leaving.empty())
        return;
    const std::less<const Entry*> before;
    std::sort(leaving.begin(), leaving.end(), before);
    folder.remove_children_where([&](const Entry& child) {
        return std::binary_search(leaving.begin(), leaving.end(), &child, before);
    });
}

void ListingMerge::unmark_old_changes(Entry& folder) {
    const std::int64_t hours = options_.unmark_old_hours;
    ChangeMarks::unmark_children_where(folder, [&](const Entry& child) {
        return !child.is_folder() && child.state() != EntryState::Unchanged &&
               (now_ - child.time()) / 3600 > hours;
    });
}

}  // namespace tovan
