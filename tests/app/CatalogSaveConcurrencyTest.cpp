#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "app/CatalogFile.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"
#include "support/IgnoreMerge.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

// Saving walks children sequences that scan threads are changing; without the
// catalog lock that walk reads freed memory.
TEST(CatalogSaveConcurrency, SavingWhileScansMergeWritesLoadableCatalogs) {
    test::TempFolder folder;
    Server server;
    server.set_parent_filter(test::everything());
    ASSERT_TRUE(server.from_url("/s/"));
    std::atomic<bool> done{false};
    std::thread scanner([&] {
        std::mt19937 random(5);
        test::IgnoreMerge ignore;
        ScanOptions options;
        for (int round = 0; round < 300; ++round) {
            std::string listing;  // some names of f0..f399, each at most once
            for (auto at = random() % 400; at < 400; at += 1 + random() % 8)
                listing += "f" + std::to_string(at) + ":" + std::to_string(round) + " ";
            ListingMerge(server, options, 100, ignore)
                .merge(*server.root(), *test::listing(listing), -2, false, false);
        }
        done = true;
    });
    while (!done) {
        ASSERT_TRUE(CatalogFile::save(folder.path(), server));
        Server reader;
        ASSERT_TRUE(reader.from_url("/s/"));
        reader.set_catalog_name(server.catalog_name());
        ASSERT_NO_THROW(CatalogFile::load(folder.path(), reader));
    }
    scanner.join();
}

}  // namespace
}  // namespace tovan
