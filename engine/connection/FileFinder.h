#pragma once

#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Listing.h"
#include "engine/connection/ReachFailure.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Lists one folder item by item: find_file once, then find_next until it
// returns false. Each item is a new detached entry with its name, folder flag,
// size (files) and modification time (seconds since 1970 UTC).
class FileFinder {
public:
    FileFinder() = default;
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;
    virtual ~FileFinder() = default;

    // Starts listing the folder; false when it cannot be listed. Restarts a
    // finder that was listing another folder.
    virtual bool find_file(const Entry& folder) = 0;
    // Why the last find_file failed: its kind, without place or host.
    virtual ReachFailure failure() const { return {}; }
    // Sets item to the next item, when there is one, and returns whether more
    // may follow; the item of the call that returns false is valid too.
    virtual bool find_next(SharedPtr<Entry>& item) = 0;
    // The same, adding the item (when there is one) to a listing; what a scan
    // uses. Finders that can skip making an entry per item do.
    virtual bool list_next(Listing& listing) {
        SharedPtr<Entry> item;
        const bool more = find_next(item);
        if (item)
            listing.add(*item);
        return more;
    }
    // The lines of the last listing that could not be read, handed over once: an item the
    // listing could not show may still be there.
    virtual std::vector<std::string> take_unreadable_lines() { return {}; }
};

}  // namespace tovan
