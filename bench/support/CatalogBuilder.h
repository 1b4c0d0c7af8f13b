#pragma once

#include <random>

#include "engine/catalog/ListingMerge.h"

namespace bench {

// Builds catalogs the way scans do: each folder's listing is a sorted detached
// folder merged in as new, so the catalog ends up with the layout real scans give.
class CatalogBuilder : private tovan::MergeListener {
public:
    explicit CatalogBuilder(tovan::Server& server);

    // Lists the folder with that many new subfolders and files; names are 12 to
    // 28 bytes, 20 on average.
    void list(const tovan::SharedPtr<tovan::Entry>& folder, int folders, int files);
    // 1,000,000 files in 50,000 folders: 250 folders of 200 subfolders each, with
    // 20 files in each subfolder.
    void million_files();
    // 250,000 files in 12,500 folders, as each tree of gui_stall_scanning: 100
    // folders of 124 subfolders each, with 20 files in each folder below the root.
    void quarter_million_files();

private:
    // Folders below the root with that many subfolders and files each, and that
    // many files in each subfolder.
    void two_levels(int folders, int subfolders, int files, int subfolder_files);
    void marked(const tovan::SharedPtr<tovan::Entry>&) override {}
    void subfolder_found(const tovan::SharedPtr<tovan::Entry>&, std::int32_t, bool) override {}
    std::string random_name();

    tovan::Server& server_;
    tovan::ScanFilter everything_;
    tovan::ScanOptions options_;
    tovan::ListingMerge merge_;
    std::mt19937 random_{7};
    int serial_ = 0;
};

}  // namespace bench
