#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CatalogFile.h"
#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "app/SchedulerObserver.h"
#include "engine/scan/Scanner.h"
#include "support/CatalogText.h"
#include "support/Gate.h"
#include "support/TempFolder.h"
#include "tovan/log/Log.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t Start = 1'700'000'000;

// What the scheduler reported, one line per call.
class Recorder : public SchedulerObserver {
public:
    void tree_updated(const std::vector<ChangeRecord>& folders) override {
        for (const ChangeRecord& folder : folders) updated_folders.push_back(folder.entry);
    }
    void online_changed(const SharedPtr<TreeEntry>& node) override {
        events.push_back(node->label() + (node->online ? " online" : " offline"));
    }
    void change_found(const ChangeRecord& change) override {
        const char* sign = change.entry->state() == EntryState::New        ? "+"
                           : change.entry->state() == EntryState::Modified ? "*"
                                                                           : "-";
        events.push_back(sign + change.node->label() + ":" + std::string(change.entry->name()));
    }
    void scan_finished(const SharedPtr<TreeEntry>& node) override {
        events.push_back(node->label() + " finished");
    }

    std::vector<std::string> events;
    std::vector<SharedPtr<Entry>> updated_folders;
};

class SchedulerConcurrencyTest : public ::testing::Test {
protected:
    SchedulerConcurrencyTest() {
        DamagedFiles damaged;
        document.load(damaged);
        options.update_status_enabled = false;
        options.synchronize_enabled = false;
    }

    SharedPtr<TreeEntry> add_server(const std::string& name, const test::TempFolder& folder) {
        SharedPtr<Server> server = make_shared<Server>();
        EXPECT_TRUE(server->from_url(folder.path() + "/"));
        SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, name);
        document.servers()->children.push_back(node);
        return node;
    }

    static void write(const test::TempFolder& folder, const std::string& path,
                      const std::string& bytes = "x") {
        std::filesystem::create_directories(std::filesystem::path(folder.file(path)).parent_path());
        test::write_file(folder.file(path), bytes);
    }

    // Ticks, as the timer does, until every scanner is gone.
    void run(Scheduler& scheduler, std::int64_t now = Start) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        scheduler.tick(now);
        while (scheduler.has_running()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::sleep_for(1ms);
            scheduler.tick(now);
        }
    }

    static std::string catalog(const SharedPtr<TreeEntry>& node) {
        return test::render(*node->server->root());
    }

    test::TempFolder data;
    test::TempFolder nas;
    test::TempFolder mirror;
    Document document{data.path()};
    Options options;
    Recorder recorder;
};

TEST_F(SchedulerConcurrencyTest, AScanReportsEveryChangeAndSavesTheCatalogOfAServerItReached) {
    write(nas, "films/a.avi", "aaaa");
    write(nas, "b.txt");
    write(nas, "c.txt");
    const SharedPtr<TreeEntry> node = add_server("nas", nas);
    Scheduler scheduler(document, options, nullptr, Start);
    scheduler.set_observer(&recorder);

    scheduler.start_scanning(node, {}, false, false);
    EXPECT_TRUE(scheduler.is_scanning(*document.servers()));
    ASSERT_TRUE(node->scanner);
    run(scheduler);
    EXPECT_FALSE(node->scanner);
    EXPECT_TRUE(node->online);
    EXPECT_EQ(catalog(node), "films/~(a.avi+) b.txt+ c.txt+");
    std::sort(recorder.events.begin(), recorder.events.end());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"+nas:a.avi", "+nas:b.txt", "+nas:c.txt",
                                                         "nas finished", "nas online"}));
    EXPECT_FALSE(recorder.updated_folders.empty());
    EXPECT_EQ(scheduler.recent_changes().size(), 3u);
    const std::string saved = data.file(CatalogFile::file_name(*node->server));
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Without auto_save a second scan leaves the file as it was.
    options.auto_save = false;
    const auto saved_at = std::filesystem::last_write_time(saved);
    std::filesystem::last_write_time(saved, saved_at - 1h);
    write(nas, "d.txt");
    scheduler.start_scanning(node, {}, false, false);
    run(scheduler);
    EXPECT_EQ(std::filesystem::last_write_time(saved), saved_at - 1h);
    EXPECT_EQ(scheduler.recent_changes().size(), 4u);
}

TEST_F(SchedulerConcurrencyTest, TheScheduledSynchronizationSkipsServersExcludedFromIt) {
    write(nas, "a.txt");
    write(mirror, "b.txt");
    const SharedPtr<TreeEntry> kept = add_server("nas", nas);
    const SharedPtr<TreeEntry> excluded = add_server("mirror", mirror);
    excluded->auto_sync_disabled = true;
    options.synchronize_enabled = true;
    options.synchronize_minutes = 60;
    Scheduler scheduler(document, options, nullptr, Start);

    run(scheduler, Start + 3600);
    EXPECT_EQ(catalog(kept), "a.txt+");
    EXPECT_EQ(catalog(excluded), "");

    // Synchronizing all servers on request takes them all.
    scheduler.start_scanning(document.servers(), {}, false, false);
    run(scheduler, Start + 3601);
    EXPECT_EQ(catalog(excluded), "b.txt+");
    EXPECT_EQ(scheduler.last_sync_time(), Start + 3600);
}

TEST_F(SchedulerConcurrencyTest, TheScheduledStatusCheckFindsWhichServersAreOnline) {
    const SharedPtr<TreeEntry> present = add_server("nas", nas);
    const SharedPtr<TreeEntry> gone = add_server("mirror", mirror);
    gone->server->from_url(mirror.path() + "/vanished/");
    gone->online = true;
    options.update_status_enabled = true;
    options.update_status_minutes = 10;
    Scheduler scheduler(document, options, nullptr, Start);
    scheduler.set_observer(&recorder);

    run(scheduler, Start + 600);
    EXPECT_TRUE(present->online);
    EXPECT_FALSE(gone->online);
    // A check lists nothing, so there is no catalog to save.
    EXPECT_EQ(catalog(present), "");
    EXPECT_FALSE(std::filesystem::exists(data.file(CatalogFile::file_name(*present->server))));
    std::sort(recorder.events.begin(), recorder.events.end());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"mirror finished", "mirror offline",
                                                         "nas finished", "nas online"}));
}

// Stopping a group stops the scanners below it; shutting down does not wait for
// scanners that do not stop in time, and starts none after.
TEST_F(SchedulerConcurrencyTest, StoppingAGroupThenShuttingDownLeavesHangingScannersBehind) {
    test::Gate gate;
    Scheduler scheduler(document, options, nullptr, Start);
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

    const std::string log_path = data.file("ferrovane.log");
    Log::configure(log_path);
    scheduler.shut_down(50ms);
    Log::flush();
    Log::configure();
    EXPECT_FALSE(scheduler.has_running());
    EXPECT_FALSE(first->scanner);
    EXPECT_FALSE(hanging[0]->has_no_threads() && hanging[1]->has_no_threads());
    const std::string log = test::read_file(log_path);
    EXPECT_LT(log.find("stop scanners\n"), log.find("stop scanners complete\n")) << log;
    EXPECT_NE(log.find("stop scanners complete\n"), std::string::npos) << log;

    scheduler.start_scanning(first, {}, false, false);
    EXPECT_FALSE(first->scanner);
    gate.open();
    for (const SharedPtr<Scanner>& scanner : hanging)
        while (!scanner->has_no_threads()) std::this_thread::sleep_for(1ms);
}

}  // namespace
}  // namespace tovan
