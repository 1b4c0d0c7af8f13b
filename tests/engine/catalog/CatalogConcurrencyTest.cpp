#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"
#include "support/IgnoreMerge.h"
#include "support/ScanRun.h"

namespace tovan {
namespace {

SharedPtr<Entry> random_listing(std::mt19937& random, const std::string& path) {
    std::map<std::string, std::string> words;  // one item per name
    for (auto count = random() % 12; count > 0; --count) {
        const std::string name = "n" + std::to_string(random() % 16);
        words.emplace(name, random() % 4 == 0 ? name + "/"
                                              : name + ":" + std::to_string(random() % 3) + ":" +
                                                    std::to_string(1000 + random() % 2));
    }
    std::string description;
    for (const auto& [name, word] : words) description += word + " ";
    return test::listing(description, path);
}

SharedPtr<Entry> random_live_folder(std::mt19937& random, SharedPtr<Entry> folder) {
    while (random() % 3 != 0) {
        std::vector<SharedPtr<Entry>> folders = folder->child_folders();
        std::erase_if(folders, [](const auto& f) { return f->state() == EntryState::Deleted; });
        if (folders.empty())
            break;
        folder = folders[random() % folders.size()];
    }
    return folder;
}

// A folder that is not deleted carries "contains changes" exactly when something
// directly below it is marked; below a deleted folder everything is deleted.
void expect_consistent(const Entry& folder) {
    bool marked_below = false;
    for (std::size_t i = 0; i < folder.child_count(); ++i) {
        const SharedPtr<Entry> child = folder.child(i);
        ASSERT_EQ(child->parent(), &folder);
        const SharedPtr<Entry> before = i > 0 ? folder.child(i - 1) : nullptr;  // folders first
        ASSERT_TRUE(!before || std::pair(!before->is_folder(), before->name()) <
                                   std::pair(!child->is_folder(), child->name()));
        ASSERT_TRUE(folder.state() != EntryState::Deleted || child->state() == EntryState::Deleted);
        marked_below |= child->state() != EntryState::Unchanged;
        if (child->is_folder())
            expect_consistent(*child);
    }
    ASSERT_TRUE(folder.state() == EntryState::Deleted ||
                folder.state() ==
                    (marked_below ? EntryState::ContainsChanges : EntryState::Unchanged));
}

TEST(CatalogConcurrency, MergesAndUnmarksFromManyThreadsLeaveAConsistentCatalog) {
    Server server;
    server.set_parent_filter(test::everything());
    ASSERT_TRUE(server.from_url("/c/"));
    const SharedPtr<Entry> root = server.root();
    constexpr int Threads = 4;
    for (int t = 0; t < Threads; ++t) test::add_folder(root, "t" + std::to_string(t));
    root->sort_children();

    ScanOptions options;
    options.unmark_old_enabled = false;
    std::atomic<int> running{Threads};
    std::vector<std::thread> scanners;
    for (int t = 0; t < Threads; ++t) {
        scanners.emplace_back([&, t] {
            std::mt19937 random(t + 1);
            test::IgnoreMerge ignore;
            const SharedPtr<Entry> own = root->child(t);
            for (int round = 0; round < 150; ++round) {
                const SharedPtr<Entry> folder = random_live_folder(random, own);
                ListingMerge merge(server, options, 5000, ignore);
                merge.merge(*folder, *random_listing(random, folder->path_for_children()), -2,
                            folder->child_count() == 0, false);
            }
            --running;
        });
    }
    std::mt19937 random(99);
    while (running > 0) {
        SharedPtr<Entry> folder = random_live_folder(random, root);
        if (random() % 4 == 0) {
            ChangeMarks::set(*folder, EntryState::Unchanged);
        } else if (SharedPtr<Entry> child = folder->child(random() % 8)) {
            ChangeMarks::set(*child, EntryState::Unchanged);
        }
        CatalogStats stats;
        server.statistics(stats);
        (void)server.url(folder.get());
    }
    for (std::thread& scanner : scanners) scanner.join();
    expect_consistent(*root);
}

}  // namespace
}  // namespace tovan
