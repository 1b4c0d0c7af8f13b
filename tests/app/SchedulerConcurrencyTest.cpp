#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <thread>

#include "app/CatalogFile.h"
#include "app/CatalogSaver.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "app/SchedulerObserver.h"
#include "engine/scan/Scanner.h"
#include "support/CatalogText.h"
#include "support/Gate.h"
#include "support/LoadedDocument.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "tovan/SafeSave.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t Start = 1'700'000'000;

// What the scheduler reported, one line per call, in no particular order.
class Recorder : public SchedulerObserver {
public:
    void tree_updated(const std::vector<ChangeRecord>&) override { ++tree_updates; }
    void online_changed(const SharedPtr<TreeEntry>& node) override {
        events.insert(node->label() + (node->online ? " online" : " offline"));
    }
    void change_found(const ChangeRecord& change) override {
        const char sign = "  +*-"[static_cast<int>(change.entry->state())];
        events.insert(sign + change.node->label() + ":" + std::string(change.entry->name()));
    }
    void scan_finished(const SharedPtr<TreeEntry>& node) override {
        events.insert(node->label() + " finished");
    }

    std::multiset<std::string> events;
    int tree_updates = 0;
};

class SchedulerConcurrencyTest : public ::testing::Test {
protected:
    SchedulerConcurrencyTest() {
        options.update_status_enabled = options.synchronize_enabled = false;
        scheduler.set_observer(&recorder);
    }

    SharedPtr<TreeEntry> add_server(const std::string& name, const test::TempFolder& folder) {
        SharedPtr<TreeEntry> node = test::server_node(folder.path() + "/", name);
        document.servers()->children.push_back(node);
        return node;
    }

    static void write(const test::TempFolder& folder, std::initializer_list<const char*> paths) {
        for (const char* path : paths)
            test::write_file_at(folder.file(path), "x", std::time(nullptr));
    }

    // Ticks, as the timer does, until every scanner is gone.
    void run(std::int64_t now = Start) {
        ASSERT_TRUE(test::wait_until([&] {
            scheduler.tick(now);
            return !scheduler.has_running();
        }));
    }

    static std::string catalog(const SharedPtr<TreeEntry>& node) {
        return test::render(*node->server->root());
    }

    test::TempFolder data, nas, mirror;
    test::LoadedDocument document{data.path()};
    Options options;
    Recorder recorder;
    CatalogSaver saver{data.path()};  // for the tests that hand it over
    Scheduler scheduler{document, options, nullptr, Start};
};

TEST_F(SchedulerConcurrencyTest, AScanReportsEveryChangeAndSavesTheCatalogOfAServerItReached) {
    write(nas, {"films/a.avi", "b.txt", "c.txt"});
    const SharedPtr<TreeEntry> node = add_server("nas", nas);

    scheduler.start_scanning(node, {}, false, false);
    run();
    EXPECT_EQ(catalog(node), "films/~(a.avi+) b.txt+ c.txt+");
    EXPECT_EQ(recorder.events, (std::multiset<std::string>{"+nas:a.avi", "+nas:b.txt", "+nas:c.txt",
                                                           "nas finished", "nas online"}));
    EXPECT_GT(recorder.tree_updates, 0);
    const std::string saved = data.file(CatalogFile::file_name(*node->server));
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Without auto_save a second scan leaves the file as it was.
    options.auto_save = false;
    const auto saved_at = std::filesystem::last_write_time(saved);
    std::filesystem::last_write_time(saved, saved_at - 1h);
    write(nas, {"d.txt"});
    scheduler.start_scanning(node, {}, false, false);
    run();
    EXPECT_EQ(std::filesystem::last_write_time(saved), saved_at - 1h);
    EXPECT_EQ(scheduler.recent_changes().size(), 4u);
}

// A "temp" that holds whoever opens it for writing until someone reads it: a
// disk that does not answer. The tick that ends the scan must not be the one
// waiting for it.
TEST_F(SchedulerConcurrencyTest, AFinishedScanIsSavedWithoutHoldingUpTheTick) {
    scheduler.set_saver(&saver);
    write(nas, {"a.txt"});
    const SharedPtr<TreeEntry> node = add_server("nas", nas);
    ASSERT_EQ(::mkfifo(data.file(SafeSave::TempName).c_str(), 0600), 0);
    std::atomic<bool> ticks_done{false}, disk_answered{false};
    std::thread disk([&] {
        test::wait_until([&] { return ticks_done.load(); }, 10s);
        disk_answered = true;
        std::ifstream reader(data.file(SafeSave::TempName), std::ios::binary);
        reader.ignore(std::numeric_limits<std::streamsize>::max());
    });

    scheduler.start_scanning(node, {}, false, false);
    run();
    EXPECT_FALSE(disk_answered);
    ticks_done = true;
    saver.finish();
    disk.join();
}

// Rescans start while the saver still writes the catalog they change, and the
// shut-down comes with the last save handed over: every file read back is whole,
// and the one left at the end holds the last scan.
TEST_F(SchedulerConcurrencyTest, SavesRacingRescansOfTheirServerLeaveWholeFiles) {
    scheduler.set_saver(&saver);
    for (int file = 0; file < 300; ++file) write(nas, {("f" + std::to_string(file)).c_str()});
    const SharedPtr<TreeEntry> node = add_server("nas", nas);
    const std::string saved = data.file(CatalogFile::file_name(*node->server));
    Server reader;
    ASSERT_TRUE(reader.from_url(nas.path() + "/"));
    reader.set_catalog_name(node->server->catalog_name());
    for (int round = 0; round < 10; ++round) {
        write(nas, {("new" + std::to_string(round)).c_str()});
        scheduler.start_scanning(node, {}, false, false);
        run();
        if (std::filesystem::exists(saved)) {
            ASSERT_NO_THROW(CatalogFile::load(data.path(), reader));
        }
    }
    scheduler.shut_down();
    CatalogFile::load(data.path(), reader);
    EXPECT_EQ(test::render(*reader.root()), catalog(node));
}

TEST_F(SchedulerConcurrencyTest, TheScheduledSynchronizationSkipsServersExcludedFromIt) {
    write(nas, {"a.txt"});
    write(mirror, {"b.txt"});
    const SharedPtr<TreeEntry> kept = add_server("nas", nas);
    const SharedPtr<TreeEntry> excluded = add_server("mirror", mirror);
    excluded->auto_sync_disabled = true;
    options.synchronize_enabled = true;
    options.synchronize_minutes = 60;

    run(Start + 3600);
    EXPECT_EQ(catalog(kept), "a.txt+");
    EXPECT_EQ(catalog(excluded), "");

    // Synchronizing all servers on request takes them all.
    scheduler.start_scanning(document.servers(), {}, false, false);
    run(Start + 3601);
    EXPECT_EQ(catalog(excluded), "b.txt+");
}

TEST_F(SchedulerConcurrencyTest, TheScheduledStatusCheckFindsWhichServersAreOnline) {
    const SharedPtr<TreeEntry> present = add_server("nas", nas);
    const SharedPtr<TreeEntry> gone = add_server("mirror", mirror);
    gone->server->from_url(mirror.path() + "/vanished/");
    gone->online = true;  // and found gone
    options.update_status_enabled = true;
    options.update_status_minutes = 10;

    run(Start + 600);
    // A check lists nothing, so there is no catalog to save.
    EXPECT_FALSE(std::filesystem::exists(data.file(CatalogFile::file_name(*present->server))));
    EXPECT_EQ(recorder.events, (std::multiset<std::string>{"mirror finished", "mirror offline",
                                                           "nas finished", "nas online"}));
}

// Stopping a group stops the scanners below it; shutting down does not wait for
// scanners that do not stop in time, and starts none after.
TEST_F(SchedulerConcurrencyTest, StoppingAGroupThenShuttingDownLeavesHangingScannersBehind) {
    test::Gate gate;
    scheduler.set_scanner_setup([&](Scanner& scanner) {
        scanner.set_connector([&]() -> SharedPtr<Connection> {
            gate.wait();
            return {};
        });
    });
    const SharedPtr<TreeEntry> group = TreeEntry::make_group("group");
    group->children = {add_server("nas", nas), add_server("mirror", mirror)};
    document.servers()->children = {group};
    const SharedPtr<TreeEntry> first = group->children[0], second = group->children[1];

    scheduler.start_scanning(document.servers(), {}, false, false);
    EXPECT_TRUE(scheduler.is_scanning(*group));
    const SharedPtr<Scanner> hanging[] = {first->scanner, second->scanner};
    gate.wait_for_a_thread();
    scheduler.stop_scanning(*group);
    EXPECT_FALSE(scheduler.is_scanning(*group));
    EXPECT_TRUE(hanging[0]->is_stopping() && hanging[1]->is_stopping());

    scheduler.shut_down(50ms);
    EXPECT_FALSE(scheduler.has_running());
    EXPECT_FALSE(hanging[0]->has_no_threads() && hanging[1]->has_no_threads());

    scheduler.start_scanning(first, {}, false, false);
    EXPECT_FALSE(first->scanner);
    gate.open();
    for (const SharedPtr<Scanner>& scanner : hanging)
        EXPECT_TRUE(test::wait_until([&] { return scanner->has_no_threads(); }));
}

// With no servers nothing starts, so the periods show in the times of the last
// runs. A period counts from the last run; a clock set back restarts it instead
// of holding it off; nothing runs while its option is off.
TEST_F(SchedulerConcurrencyTest, AStatusCheckRunsOnTheFirstTickAtOrAfterItsPeriod) {
    options.update_status_enabled = options.synchronize_enabled = true;
    options.update_status_minutes = 10;
    options.synchronize_minutes = 60;
    const std::int64_t ticks[][3] = {
        {599, 0, 0},
        {601, 601, 0},
        {1800, 1800, 0},
        {3600, 3600, 3600},
        {-86400, -86400, -86400},
        {-85800, -85800, -86400},
    };
    for (const auto& [tick, status, sync] : ticks) {
        scheduler.tick(Start + tick);
        EXPECT_EQ(scheduler.last_status_time(), Start + status) << tick;
        EXPECT_EQ(scheduler.last_sync_time(), Start + sync) << tick;
    }
    options.update_status_enabled = false;
    options.synchronize_enabled = false;
    for (std::int64_t day = 1; day <= 30; ++day) scheduler.tick(Start + day * 86400);
    EXPECT_EQ(scheduler.last_status_time(), Start - 85800);
}

}  // namespace
}  // namespace tovan
