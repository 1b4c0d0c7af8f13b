#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Listing.h"
#include "engine/catalog/MergeListener.h"
#include "engine/catalog/ScanOptions.h"
#include "engine/catalog/Server.h"

namespace tovan {

// Merges a fresh listing of one folder into the catalog: new items are added and
// marked new, changed files replaced and marked modified with their previous size
// and time, vanished items marked deleted (or dropped), items that came back
// restored, and the subfolders to list next handed to the listener.
//
// The fresh listing (plain records, or a detached folder whose children are the
// listed items) is sorted, and the catalog folder is put in the same order, so one
// walk over both pairs them up; only new and changed items become entries; items are added, removed
// and replaced in batches, never one by one in the middle of the children, so a folder of any size
// and any mix of changes merges in n log n.
//
// A gone item that the change filter ignores leaves the catalog instead of being
// marked; a gone folder that holds anything the filter does not ignore is marked
// deleted all the same, since its contents' deletion is a change to show.
class ListingMerge {
public:
    // now: the current time in seconds since 1970 UTC, for the age of changes.
    ListingMerge(const Server& server, const ScanOptions& options, std::int64_t now,
                 MergeListener& listener);

    // child_depth: the depth for subfolders without an override of their own;
    // new_folder: the folder was never listed; single: queue no subfolders.
    void merge(Entry& folder, const Entry& fresh, std::int32_t child_depth, bool new_folder,
               bool single);
    // The same for a listing of plain records, in any order; sorts it.
    void merge_listing(Entry& folder, Listing& listing, std::int32_t child_depth, bool new_folder,
                       bool single);
    // The listing left lines it could not read: the items it lacks may be among them, so they
    // stay as they were instead of being marked deleted.
    void keep_missing_items() { keep_missing_ = true; }

private:
    void place_folders(const std::vector<SharedPtr<Entry>>& items) const;
    bool mark(const SharedPtr<Entry>& item, EntryState state);
    void set_mark(const SharedPtr<Entry>& item, EntryState state);
    const std::string& folded_path();
    bool ignores(const Entry& item, bool everything_below);
    bool is_ignored(const Entry& item, const std::string& folded_path) const;
    bool ignores_all(const Entry& item, const std::string& folded_path) const;
    void queue(const SharedPtr<Entry>& item, std::int32_t depth, bool new_folder);
    bool is_recent(std::int64_t time) const;
    std::int32_t depth_for(const Entry& item) const;
    std::int32_t new_depth(const Entry& item) const;

    enum class Fate : std::uint8_t { Added, Kept, Replaced, Repeated };
    static constexpr std::uint32_t Unmatched = UINT32_MAX;
    struct Match {
        std::uint32_t old = Unmatched;  // the index of the matching child
        Fate fate = Fate::Added;
    };

    // False when the folder held exactly what was listed and nothing changed.
    bool merge_known(Entry& folder, const Listing& listing, std::vector<SharedPtr<Entry>>& gone);
    bool merge_unchanged(const Entry& folder, const Listing& listing);
    static std::vector<Match> match_items(const std::vector<SharedPtr<Entry>>& known,
                                          const Listing& listing,
                                          std::vector<SharedPtr<Entry>>& gone);
    static bool is_repeated(const Listing& listing, std::size_t i);
    static bool same_item(const Entry& known, const Listing& listing, std::size_t i);
    static std::size_t find_known(const std::vector<SharedPtr<Entry>>& known, std::size_t files,
                                  std::size_t& next, const Listing& listing, std::size_t i);
    static Fate fate_of(const Entry& old, const Listing& listing, std::size_t i);
    bool is_marked_when_added(const Entry& item) const;
    void mark_added(const SharedPtr<Entry>& item);
    void mark_replaced(const SharedPtr<Entry>& item, const Entry& old);
    void keep_old(const SharedPtr<Entry>& old);
    static void remove_all(Entry& folder, std::vector<const Entry*> leaving);
    void handle_gone(Entry& folder, const std::vector<SharedPtr<Entry>>& gone);
    void unmark_old_changes(Entry& folder);

    const Server& server_;
    const ScanOptions& options_;
    std::int64_t now_;
    MergeListener& listener_;
    std::int32_t child_depth_ = 0;
    const Entry* folder_ = nullptr;
    // The path of the merged folder's items, case folded for the change filter.
    std::optional<std::string> folded_path_;
    bool single_ = false;
    bool keep_missing_ = false;
};

}  // namespace tovan
