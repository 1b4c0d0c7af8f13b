#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <filesystem>

#include "engine/catalog/ChangeMarks.h"
#include "engine/connection/Protocols.h"
#include "engine/local/LocalConnection.h"
#include "engine/scan/Scanner.h"
#include "support/CatalogText.h"
#include "support/Gate.h"
#include "support/OpenDescriptors.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "tovan/Exception.h"

namespace tovan {
namespace {

using test::finish;

class FaultyFinder : public FileFinder {
public:
    struct Faults {
        std::string unlistable;         // a folder name that cannot be listed
        std::string disconnects;        // a folder whose listing loses the connection
        std::function<void()> on_item;  // called before each item is delivered
        std::function<void()> on_connect;
    };

    FaultyFinder(const Faults& faults, SharedPtr<OpenFolders> folders)
        : faults_(faults), inner_(std::move(folders)) {}

    bool find_file(const Entry& folder) override {
        if (folder.name() == faults_.unlistable)
            return false;
        disconnecting_ = !faults_.disconnects.empty() && folder.name() == faults_.disconnects;
        delivered_ = 0;
        return inner_.find_file(folder);
    }

    bool find_next(SharedPtr<Entry>& item) override {
        if (faults_.on_item)
            faults_.on_item();
        if (disconnecting_ && ++delivered_ > 3)
            throw Exception("disconnected");
        return inner_.find_next(item);
    }

private:
    const Faults& faults_;
    LocalFileFinder inner_;
    bool disconnecting_ = false;
    int delivered_ = 0;
};

class FaultyConnection : public Connection {
public:
    explicit FaultyConnection(const FaultyFinder::Faults& faults) : faults_(faults) {}
    SharedPtr<FileFinder> create_finder() override {
        return make_shared<FaultyFinder>(faults_, folders_);
    }
    void idle() override { folders_->close_all(); }

private:
    const FaultyFinder::Faults& faults_;
    const SharedPtr<OpenFolders> folders_ = make_shared<OpenFolders>();
};

class ScannerTest : public ::testing::Test {
protected:
    ScannerTest() {
        server->set_parent_filter(test::everything());
        EXPECT_TRUE(server->from_url(folder.path() + "/"));
    }

    // Ages count from the test's start, so a file written again with the same age
    // has the same time however long the scans in between took.
    void write(const std::string& path, const std::string& bytes, std::int64_t age = 60) {
        test::write_file_at(folder.file(path), bytes, start - age);
    }

    void remove(const std::string& path) { std::filesystem::remove_all(folder.file(path)); }

    SharedPtr<Scanner> make_scanner() {
        SharedPtr<Scanner> scanner = make_shared<Scanner>(server, options);
        scanner->set_connector([this]() -> SharedPtr<Connection> {
            if (faults.on_connect)
                faults.on_connect();
            if (!Protocols::connect(*server))
                return {};
            ++connections;
            return make_shared<FaultyConnection>(faults);
        });
        return scanner;
    }

    std::string scan_all(std::uint32_t limit = 1, SharedPtr<Entry> from = {}) {
        server->set_connections_limit(limit);
        from = from ? from : server->root();
        const SharedPtr<Scanner> scanner = make_scanner();
        scanner->scan(from, false);
        finish(*scanner);
        online = scanner->is_online();
        return test::render(*from);
    }

    SharedPtr<Entry> at(const std::string& path) { return test::entry_at(server->root(), path); }

    const std::int64_t start = std::time(nullptr);
    test::TempFolder folder;
    SharedPtr<Server> server = make_shared<Server>();
    ScanOptions options;
    FaultyFinder::Faults faults;
    std::atomic<int> connections{0};
    bool online = false;
};

class ScannerLimits : public ScannerTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(ScannerLimits, ASecondScanMarksExactlyWhatChanged) {
    write("docs/a.txt", "0123456789");
    write("docs/b.txt", "b", 3000);
    for (const char* name : {"docs/old/c.txt", "media/x.bin", "top.txt"}) write(name, "x");
    EXPECT_EQ(scan_all(GetParam()), "docs/~(old/~(c.txt+) a.txt+ b.txt+) media/~(x.bin+) top.txt+");
    EXPECT_TRUE(online);
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    const std::int64_t b_time = at("docs/b.txt")->time();

    write("docs/a.txt", "0123456789abcde");
    write("docs/b.txt", "b", 10);
    for (const char* name : {"docs/new.txt", "fresh/f.txt"}) write(name, "x");
    remove("media/x.bin");
    remove("docs/old");
    EXPECT_EQ(
        scan_all(GetParam()),
        "docs/~(old/-(c.txt-) a.txt* b.txt* new.txt+) fresh/~(f.txt+) media/~(x.bin-) top.txt");
    EXPECT_EQ(at("docs/a.txt")->previous_size(), 10u);
    EXPECT_EQ(at("docs/b.txt")->previous_time(), b_time);

    // Back: restored, its items matched by name.
    write("docs/old/c.txt", "x");
    const std::string back = scan_all(GetParam());
    EXPECT_EQ(
        back,
        "docs/~(old/~(c.txt+) a.txt* b.txt* new.txt+) fresh/~(f.txt+) media/~(x.bin-) top.txt");

    remove("");  // the root gone: offline, the catalog kept
    EXPECT_EQ(scan_all(GetParam()), back);
    EXPECT_FALSE(online);
}

INSTANTIATE_TEST_SUITE_P(OneFixedAndAutomatic, ScannerLimits, ::testing::Values(1u, 3u, 0u));

TEST_F(ScannerTest, DepthsCascadeAndOverridesReplaceThem) {
    write("a/b/c/d.txt", "d");
    write("e/f/g.txt", "g");
    options.full_scan_new_folders = false;
    server->set_scan_depth(*server->root(), 1);
    EXPECT_EQ(scan_all(), "a/ e/");

    server->set_scan_depth(*server->root(), 2);
    server->set_scan_depth(*at("e"), 5);
    EXPECT_EQ(scan_all(), "a/(b/) e/~(f/~(g.txt+))");

    server->set_scan_depth(*at("a"), Server::NoScan);
    EXPECT_EQ(scan_all(1, at("a")), "b/");
}

// The progress estimate as each subfolder's own effective depth makes it.
std::int32_t requests_by_effective_depth(const Server& server, const Entry& folder,
                                         std::int32_t depth) {
    if (depth == 0)
        return 0;
    std::int32_t count = 1;
    for (const SharedPtr<Entry>& child : folder.child_folders())
        count += requests_by_effective_depth(server, *child, server.effective_scan_depth(*child));
    return count;
}

TEST_F(ScannerTest, EstimatesFollowTheDepthSetNearestAboveEachFolder) {
    write("a/b/c/d/e/f/g/h.txt", "h");
    write("a/x/y/z.txt", "z");
    write("i/j/k/l.txt", "l");
    scan_all();
    server->set_scan_depth(*server->root(), 3);
    server->set_scan_depth(*at("a/b/c"), 2);
    server->set_scan_depth(*at("a/x"), Server::NoScan);
    server->set_scan_depth(*at("i/j"), Server::FullScan);
    const SharedPtr<Scanner> scanner = make_scanner();
    EXPECT_EQ(scanner->theoretic_scan_n_requests(*server->root(), 3), 8);
    for (const char* path : {"a", "a/b", "a/b/c/d", "a/x", "i", "i/j/k"}) {
        for (const std::int32_t depth : {Server::FullScan, 1, 3})
            EXPECT_EQ(scanner->theoretic_scan_n_requests(*at(path), depth),
                      requests_by_effective_depth(*server, *at(path), depth))
                << path << " " << depth;
    }

    // A rescan keeps each known folder's count from its start for when it is queued.
    test::Gate gate;
    faults.on_item = [&] { gate.wait(); };
    const SharedPtr<Scanner> rescan = make_scanner();
    rescan->scan(server->root(), false);
    for (const char* path : {"a", "a/b", "a/b/c", "i", "i/j"})
        EXPECT_EQ(rescan->known_folder_estimate(*at(path), 1),
                  requests_by_effective_depth(*server, *at(path), 1))
            << path;
    gate.open();
    finish(*rescan);
}

TEST_F(ScannerTest, AFolderThatCannotBeListedLosesItsItems) {
    for (const char* name : {"locked/one", "locked/two", "open/three"}) write(name, "x");
    scan_all();
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    faults.unlistable = "locked";
    EXPECT_EQ(scan_all(), "locked/~(one- two-) open/(three)");
    options.mark_deleted = false;
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    write("locked/late", "3");
    EXPECT_EQ(scan_all(), "locked/ open/(three)");
}

TEST_F(ScannerTest, AStopDuringAListingLeavesTheCatalogAsItWas) {
    for (int i = 0; i < 200; ++i) write("big/f" + std::to_string(i), "x");
    const std::string before = scan_all();
    for (int i = 0; i < 200; i += 2) write("big/f" + std::to_string(i), "grown");

    const SharedPtr<Scanner> scanner = make_scanner();
    std::atomic<int> items{0};
    faults.on_item = [&] {
        if (++items == 150)
            scanner->stop();
    };
    scanner->scan(server->root(), false);
    finish(*scanner);
    EXPECT_EQ(test::render(*server->root()), before);
}

TEST_F(ScannerTest, ALostConnectionLosesOneRequestAndReconnects) {
    for (const char* name : {"flaky/1", "flaky/2", "flaky/3", "flaky/4", "flaky/5", "steady/s"})
        write(name, "x");
    faults.disconnects = "flaky";
    EXPECT_EQ(scan_all(), "flaky/ steady/~(s+)");
    EXPECT_EQ(server->last_error(), "disconnected");
    EXPECT_EQ(connections.load(), 2);
    EXPECT_TRUE(online);
}

// Threads kept for the next scan keep no folder of the server open: the user may
// want to unmount it, or rename what the next scan should find renamed.
TEST_F(ScannerTest, HeldThreadsWithNothingToDoKeepNoFolderOpen) {
    for (const char* name : {"a/b/c.txt", "a/d/e.txt", "f/g.txt"}) write(name, "x");
    server->set_connections_limit(2);
    const SharedPtr<Scanner> scanner = make_scanner();
    scanner->set_hold(true);
    scanner->scan(server->root(), false);
    EXPECT_TRUE(test::wait_until([&] { return scanner->is_idle(); }));
    EXPECT_EQ(test::render(*server->root()), "a/~(b/~(c.txt+) d/~(e.txt+)) f/~(g.txt+)");
    EXPECT_TRUE(test::wait_until([&] { return test::descriptors_open_in(folder.path()) == 0; },
                                 std::chrono::seconds(10)));
    scanner->set_hold(false);
    finish(*scanner);
}

TEST_F(ScannerTest, CheckTellsOnlineWithoutListing) {
    write("a/b", "b");
    for (const bool there : {true, false}) {
        if (!there)
            remove("");
        // Held at its connection, the first check still runs when the second comes.
        test::Gate connecting;
        faults.on_connect = [&] { connecting.wait(); };
        const SharedPtr<Scanner> scanner = make_scanner();
        scanner->check();
        scanner->check();  // threads run: nothing more
        EXPECT_EQ(scanner->queued_count(), 1u);
        connecting.open();
        finish(*scanner);
        faults.on_connect = nullptr;
        EXPECT_EQ(scanner->is_online(), there);
        EXPECT_EQ(server->root()->child_count(), 0u);
    }
}

TEST_F(ScannerTest, AServerNotKnownOnlineWaitsForTheFirstConnectionAndHoldKeepsThreads) {
    write("a/b", "b");
    test::Gate gate;
    test::Gate connecting;
    faults.on_item = [&] { gate.wait(); };
    faults.on_connect = [&] { connecting.wait(); };
    server->set_connections_limit(3);
    const SharedPtr<Scanner> scanner = make_scanner();
    scanner->scan(server->root(), false);
    EXPECT_EQ(scanner->thread_count(), 1u);
    const std::uint32_t queued = scanner->queued_count();
    scanner->scan(at("a") ? at("a") : server->root(), false);
    EXPECT_EQ(scanner->queued_count(), queued);
    connecting.open();
    ASSERT_TRUE(test::wait_until([&] { return scanner->thread_count() == 3; }));
    gate.open();
    finish(*scanner);

    // Known online: all threads at once; held ones stay after a stop.
    const SharedPtr<Scanner> held = make_scanner();
    held->set_hold(true);
    held->scan(server->root(), true);
    EXPECT_EQ(held->thread_count(), 3u);
    ASSERT_TRUE(test::wait_until([&] { return held->is_idle(); }));
    held->stop();
    EXPECT_FALSE(held->is_stopping());
    EXPECT_EQ(held->thread_count(), 3u);
    held->set_hold(false);
    EXPECT_TRUE(held->is_stopping());
    finish(*held);
}

}  // namespace
}  // namespace tovan
