#pragma once

#include "engine/catalog/Listing.h"
#include "engine/catalog/MergeListener.h"
#include "engine/scan/Request.h"

namespace tovan {

// Lists one catalog folder into a detached listing, merges it into the catalog
// and queues requests for the subfolders the depth allows.
class ScanRequest : public Request {
public:
    // depth: -2 unlimited, 1 to 6 levels; new_folder: never listed before;
    // single: this folder only, no subfolder requests.
    ScanRequest(SharedPtr<Entry> folder, std::int32_t depth, bool new_folder, bool single);

    bool run(Scanner& scanner, SharedPtr<Connection>& connection) override;
    std::int32_t count_listings(const Scanner& scanner) const override;
    SharedPtr<Entry> target() const override { return folder_; }

    std::int32_t depth() const { return depth_; }
    bool is_new_folder() const { return new_folder_; }
    bool is_single() const { return single_; }

private:
    bool list(Scanner& scanner, FileFinder& finder, Listing& listing);

    SharedPtr<Entry> folder_;
    std::int32_t depth_;
    bool new_folder_;
    bool single_;
};

}  // namespace tovan
