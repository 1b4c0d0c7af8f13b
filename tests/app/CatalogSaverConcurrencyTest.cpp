#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/CatalogFile.h"
#include "app/CatalogSaver.h"
#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"
#include "support/Gate.h"
#include "support/IgnoreMerge.h"
#include "support/LoadedDocument.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

std::vector<std::string> catalogs(const Document& document) {
    std::vector<std::string> rendered;
    for (const SharedPtr<TreeEntry>& node : document.servers()->children)
        rendered.push_back(test::render(*node->server->root()));
    return rendered;
}

// Every save in the data folder goes through the one "temp": a catalog saved on
// the saver's thread while the interface saves the whole document would
// otherwise truncate or rename away the other's half-written file.
TEST(CatalogSaverConcurrency, SavesBesideWholeDocumentSavesLeaveEveryFileWhole) {
    test::TempFolder data;
    test::LoadedDocument document(data.path());
    for (const char* place : {"/srv/a/", "/srv/b/"}) {
        const SharedPtr<TreeEntry> node = test::server_node(place, place);
        std::string listing = "docs/ ";
        for (int file = 0; file < 2000; ++file) listing += "f" + std::to_string(file) + " ";
        test::IgnoreMerge ignore;
        ListingMerge(*node->server, ScanOptions(), 100, ignore)
            .merge(*node->server->root(), *test::listing(listing, place), -2, true, false);
        document.servers()->children.push_back(node);
    }
    {
        CatalogSaver saver(data.path());
        for (int round = 0; round < 10; ++round) {
            for (const SharedPtr<TreeEntry>& node : document.servers()->children)
                saver.save(node->server);
            ASSERT_NO_THROW(document.store());
        }
    }  // the last saves, the saver's, are finished here

    const test::LoadedDocument reread(data.path());
    EXPECT_TRUE(reread.damaged.warnings().empty());
    EXPECT_EQ(catalogs(reread), catalogs(document));
}

// Reading a catalog's file name takes the catalog lock, which the saving thread
// holds while it walks another catalog: the interface must not wait for that.
TEST(CatalogSaverConcurrency, HandingOverASaveDoesNotWaitForAnotherCatalogsWalk) {
    test::TempFolder data;
    const SharedPtr<Server> server = make_shared<Server>();
    ASSERT_TRUE(server->from_url("/srv/a/"));
    CatalogSaver saver(data.path());
    test::Gate held;
    std::atomic<bool> handed_over{false}, walk_done{false};
    std::thread walk([&] {
        const CatalogGuard guard(catalog_lock());
        held.open();
        test::wait_until([&] { return handed_over.load(); }, std::chrono::seconds(10));
        walk_done = true;
    });
    held.wait();
    saver.save(server);
    handed_over = true;
    EXPECT_FALSE(walk_done);
    walk.join();
    saver.finish();
    EXPECT_TRUE(std::filesystem::exists(data.file(CatalogFile::file_name(*server))));
}

// Saving walks children sequences that scan threads are changing; without the
// catalog lock that walk reads freed memory.
TEST(CatalogSaverConcurrency, SavingWhileScansMergeWritesLoadableCatalogs) {
    test::TempFolder folder;
    Server server;
    server.set_parent_filter(test::everything());
    ASSERT_TRUE(server.from_url("/s/"));
    std::atomic<bool> done{false};
    std::thread scanner([&] {
        std::mt19937 random(5);
        test::IgnoreMerge ignore;
        for (int round = 0; round < 300; ++round) {
            std::string listing;  // some names of f0..f399, each at most once
            for (auto at = random() % 400; at < 400; at += 1 + random() % 8)
                listing += "f" + std::to_string(at) + ":" + std::to_string(round) + " ";
            ListingMerge(server, ScanOptions(), 100, ignore)
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
