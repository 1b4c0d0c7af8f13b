#pragma once

#include <cstdint>
#include <vector>

#include "engine/Entry.h"
#include "engine/MergeListener.h"
#include "engine/ScanOptions.h"
#include "engine/Server.h"

namespace tovan {

// Merges a fresh listing of one folder into the catalog: new items are added and
// marked new, changed files replaced and marked modified with their previous size
// and time, vanished items marked deleted (or dropped), items that came back
// restored, and the subfolders to list next handed to the listener.
//
// The fresh listing is a detached folder whose children are the listed items,
// sorted. Both lists are in the same order when little changed, so matching by
// name with the index as a hint costs one comparison per item.
class ListingMerge {
public:
    // now: the current time in seconds since 1970 UTC, for the age of changes.
    ListingMerge(const Server& server, const ScanOptions& options, std::int64_t now,
                 MergeListener& listener);

    // child_depth: the depth for subfolders without an override of their own;
    // new_folder: the folder was never listed; single: queue no subfolders.
    void merge(Entry& folder, const Entry& fresh, std::int32_t child_depth, bool new_folder,
               bool single);

private:
    bool mark(const SharedPtr<Entry>& item, EntryState state);
    void queue(const SharedPtr<Entry>& item, std::int32_t depth, bool new_folder);
    bool is_recent(std::int64_t time) const;
    std::int32_t depth_for(const Entry& item) const;
    std::int32_t new_depth(const Entry& item) const;

    void add_new(Entry& folder, const SharedPtr<Entry>& item);
    void merge_item(Entry& folder, const SharedPtr<Entry>& item, std::size_t index);
    void keep_old(const SharedPtr<Entry>& old);
    void handle_gone(Entry& folder, const std::vector<SharedPtr<Entry>>& items);
    void unmark_old_changes(Entry& folder);

    const Server& server_;
    const ScanOptions& options_;
    std::int64_t now_;
    MergeListener& listener_;
    std::int32_t child_depth_ = 0;
    bool single_ = false;
};

}  // namespace tovan
