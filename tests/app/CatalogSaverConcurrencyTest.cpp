#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/CatalogFile.h"
#include "app/CatalogSaver.h"
#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"
#include "support/Gate.h"
#include "support/IgnoreMerge.h"
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
    Document document(data.path());
    DamagedFiles none;
    document.load(none);
    for (const char* place : {"/srv/a/", "/srv/b/"}) {
        SharedPtr<Server> server = make_shared<Server>();
        ASSERT_TRUE(server->from_url(place));
        std::string listing = "docs/ ";
        for (int file = 0; file < 2000; ++file) listing += "f" + std::to_string(file) + " ";
        test::IgnoreMerge ignore;
        ListingMerge(*server, ScanOptions(), 100, ignore)
            .merge(*server->root(), *test::listing(listing, place), -2, true, false);
        document.servers()->children.push_back(TreeEntry::make_server_node(server, place));
    }
    {
        CatalogSaver saver(data.path());
        for (int round = 0; round < 10; ++round) {
            for (const SharedPtr<TreeEntry>& node : document.servers()->children)
                saver.save(node->server);
            ASSERT_NO_THROW(document.store());
        }
    }  // the last saves, the saver's, are finished here

    Document reread(data.path());
    DamagedFiles damaged;
    reread.load(damaged);
    EXPECT_TRUE(damaged.warnings().empty());
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

}  // namespace
}  // namespace tovan
