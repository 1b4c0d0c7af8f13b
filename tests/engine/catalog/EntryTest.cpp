#include <gtest/gtest.h>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Entry.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

using test::add_file;
using test::add_folder;

TEST(Entry, FindChildMatchesExactNamesWhereverTheHintPoints) {
    SharedPtr<Entry> root = Entry::create_folder("");
    for (int i = 0; i < 50; ++i) add_file(root, "file" + std::to_string(100 + i));
    add_folder(root, "dir");
    add_file(root, "late");  // appended after sorting: found in the unsorted tail
    EXPECT_EQ(root->find_child("file120", 20)->name(), "file120");
    root->sort_children();
    add_file(root, "aaa");
    for (std::size_t hint : {0u, 1u, 20u, 49u, 500u}) {
        for (const char* name : {"file120", "dir", "aaa"})
            EXPECT_EQ(root->find_child(name, hint)->name(), name);
        EXPECT_FALSE(root->find_child("file12", hint));
        EXPECT_FALSE(root->find_child("FILE120", hint));
    }
}

// Lookups find where the subfolders end before they search by name: every count
// of subfolders around the search's steps, with and without files behind them.
TEST(Entry, FindsEveryChildWhateverTheNumberOfSubfolders) {
    for (int folders : {0, 1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 40}) {
        for (int files : {0, 1, 6}) {
            SharedPtr<Entry> root = Entry::create_folder("");
            for (int i = 0; i < files; ++i) add_file(root, "n" + std::to_string(100 + i));
            for (int i = 0; i < folders; ++i) add_folder(root, "n" + std::to_string(200 + i));
            root->sort_children();
            const std::string where =
                std::to_string(folders) + " folders, " + std::to_string(files) + " files";
            for (int i = 0; i < files; ++i) {
                const std::string name = "n" + std::to_string(100 + i);
                EXPECT_EQ(root->find_child(name)->name(), name) << where;
                EXPECT_FALSE(root->child_folder_time(name)) << where;
            }
            for (int i = 0; i < folders; ++i) {
                const std::string name = "n" + std::to_string(200 + i);
                EXPECT_EQ(root->find_child(name)->name(), name) << where;
                EXPECT_TRUE(root->child_folder_time(name)) << where;
            }
            EXPECT_FALSE(root->find_child("n150")) << where;
        }
    }
}

TEST(Entry, AFolderOutlivedByItsChildLeavesNoDanglingParent) {
    SharedPtr<Entry> child;
    {
        SharedPtr<Entry> folder = Entry::create_folder("f");
        child = add_file(folder, "c");
    }
    EXPECT_EQ(child->parent(), nullptr);
    ChangeMarks::set(*child, EntryState::New);  // must not reach the freed folder
    EXPECT_EQ(child->state(), EntryState::New);
}

// Deleted items count with their last size, modified ones with both.
TEST(Entry, StatisticsSumCurrentAndPreviousSizes) {
    SharedPtr<Entry> root = Entry::create_folder("/");
    SharedPtr<Entry> sub = add_folder(root, "sub");
    add_file(root, "same", 10);
    ChangeMarks::set(*add_file(root, "fresh", 20), EntryState::New);
    SharedPtr<Entry> changed = add_file(sub, "changed", 30);
    changed->set_previous_size(5);
    ChangeMarks::set(*changed, EntryState::Modified);
    ChangeMarks::set(*add_file(sub, "gone", 40), EntryState::Deleted);
    CatalogStats stats;
    root->statistics(stats);
    EXPECT_EQ(stats.current_size, 10u + 20u + 30u);
    EXPECT_EQ(stats.previous_size, 10u + 5u + 40u);
}

}  // namespace
}  // namespace tovan
