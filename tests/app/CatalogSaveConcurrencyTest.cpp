#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "app/CatalogFile.h"
#include "engine/catalog/ListingMerge.h"
#include "support/IgnoreMerge.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

// Saving walks children sequences that scan threads are changing; without the
// catalog lock that walk reads freed memory.
TEST(CatalogSaveConcurrency, SavingWhileScansMergeWritesLoadableCatalogs) {
    test::TempFolder folder;
    ScanFilter everything;
    everything.set_masks({"*"});
    Server server;
    server.set_parent_filter(&everything);
    ASSERT_TRUE(server.from_url("/s/"));
    std::atomic<bool> done{false};
    std::thread scanner([&] {
        std::mt19937 random(5);
        test::IgnoreMerge ignore;
        ScanOptions options;
        for (int round = 0; round < 300; ++round) {
            std::vector<SharedPtr<Entry>> items;
            for (int i = 0, count = static_cast<int>(random() % 200); i < count; ++i)
                items.push_back(Entry::create_file("f" + std::to_string(random() % 400), i, i));
            std::sort(items.begin(), items.end(),
                      [](const auto& a, const auto& b) { return a->name() < b->name(); });
            items.erase(
                std::unique(items.begin(), items.end(),
                            [](const auto& a, const auto& b) { return a->name() == b->name(); }),
                items.end());
            SharedPtr<Entry> fresh = Entry::create_folder("");
            fresh->add_children(std::move(items));
            ListingMerge(server, options, 100, ignore)
                .merge(*server.root(), *fresh, -2, false, false);
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
