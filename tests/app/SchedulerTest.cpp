#include <gtest/gtest.h>

#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "engine/catalog/ChangeMarks.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

constexpr std::int64_t Start = 1'700'000'000;

// Nothing here starts a scanner: the servers tree is empty, so the periods show
// in the times of the last runs.
class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() {
        DamagedFiles damaged;
        document.load(damaged);
    }

    ChangeRecord change(const std::string& node_name, const std::string& entry_name,
                        EntryState state) {
        ChangeRecord record;
        // A node without a name shows its server's title, empty for a new server.
        record.node = TreeEntry::make_server_node(make_shared<Server>(), node_name);
        record.entry = Entry::create_file(entry_name, 1, 1000);
        ChangeMarks::set(*record.entry, state);
        return record;
    }

    test::TempFolder data;
    Document document{data.path()};
    Options options;
};

TEST_F(SchedulerTest, AStatusCheckRunsOnTheFirstTickAtOrAfterItsPeriod) {
    options.update_status_minutes = 10;
    options.synchronize_minutes = 60;
    Scheduler scheduler(document, options, nullptr, Start);
    scheduler.tick(Start + 599);
    EXPECT_EQ(scheduler.last_status_time(), Start);
    scheduler.tick(Start + 601);
    EXPECT_EQ(scheduler.last_status_time(), Start + 601);
    scheduler.tick(Start + 601 + 1199);
    EXPECT_EQ(scheduler.last_status_time(), Start + 1800);
    EXPECT_EQ(scheduler.last_sync_time(), Start);
    scheduler.tick(Start + 3600);
    EXPECT_EQ(scheduler.last_sync_time(), Start + 3600);
}

TEST_F(SchedulerTest, NothingRunsWhileItsOptionIsOff) {
    options.update_status_enabled = false;
    options.synchronize_enabled = false;
    Scheduler scheduler(document, options, nullptr, Start);
    for (std::int64_t day = 1; day <= 30; ++day) scheduler.tick(Start + day * 86400);
    EXPECT_EQ(scheduler.last_status_time(), Start);
    EXPECT_EQ(scheduler.last_sync_time(), Start);
}

TEST_F(SchedulerTest, AClockSetBackRestartsThePeriodInsteadOfHoldingItOff) {
    Scheduler scheduler(document, options, nullptr, Start);
    scheduler.tick(Start - 86400);
    scheduler.tick(Start - 86400 + 600);
    EXPECT_EQ(scheduler.last_status_time(), Start - 86400 + 600);
}

TEST_F(SchedulerTest, TheTrayTipListsChangesNewestFirstWithinItsLimit) {
    Scheduler scheduler(document, options, nullptr, Start);
    scheduler.record_change(change("mirror", "gone.iso", EntryState::Deleted));
    scheduler.record_change(change("mirror", "grown.txt", EntryState::Modified));
    scheduler.record_change(change("nas", "fresh.avi", EntryState::New));
    EXPECT_EQ(scheduler.tray_tip("Ferrovane 2.2"),
              "Changes:\n+nas...fresh.avi\n*mirror...grown.txt\n-mirror...gone.iso");

    // Lines of 20 characters: five fit after "Changes:" (8 + 6 * 20 = 128 is one too many).
    for (int i = 0; i < 25; ++i)
        scheduler.record_change(
            change("serve", "file" + std::to_string(10 + i) + ".bin", EntryState::New));
    const std::string tip = scheduler.tray_tip("Ferrovane 2.2");
    EXPECT_EQ(tip.size(), 8u + 5 * 20);
    EXPECT_TRUE(tip.starts_with("Changes:\n+serve...file34.bin\n+serve...file33.bin")) << tip;

    // Lines of 5 characters, unmarked by now: 21 would fit, 20 are kept.
    for (int i = 0; i < 25; ++i) scheduler.record_change(change("", "f", EntryState::Unchanged));
    std::string lines;
    for (int i = 0; i < 20; ++i) lines += "\n...f";
    EXPECT_EQ(scheduler.tray_tip("Ferrovane 2.2"), "Changes:" + lines);
    ASSERT_EQ(scheduler.recent_changes().size(), Scheduler::MaxRecentChanges);
    scheduler.clear_recent_changes();
    EXPECT_EQ(scheduler.tray_tip("Ferrovane 2.2"), "Ferrovane 2.2");
}

}  // namespace
}  // namespace tovan
