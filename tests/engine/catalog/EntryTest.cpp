#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// Names that tie on their first bytes, are shorter than a word, or hold bytes
// above 0x7f (which sort after ASCII) must sort as precedes() says, and items
// of the same name keep their listed order.
TEST(Entry, SortInCatalogOrderMatchesPrecedesOnAwkwardNames) {
    const std::vector<std::pair<std::string, bool>> listed = {{"abcdefgh", false},
                                                              {"abcdefg", false},
                                                              {"abcdefgg", false},
                                                              {"", false},
                                                              {"\xc3\xa9t\xc3\xa9", false},
                                                              {"zz", true},
                                                              {"abcdefgh", false},
                                                              {"\xff", false},
                                                              {"ABCDEFGHIJ", false},
                                                              {"abcdefgh", true},
                                                              {"a", false},
                                                              {"abcdefgh\x80", false},
                                                              {"abcdefg\x01", false},
                                                              {"IMG_0002.jpg", false},
                                                              {"IMG_0001.jpg", false},
                                                              {"b", true}};
    std::vector<SharedPtr<Entry>> items;
    for (const auto& [name, folder] : listed)
        items.push_back(folder ? Entry::create_folder(name) : Entry::create_file(name, 0, 0));
    std::vector<SharedPtr<Entry>> expected = items;
    std::stable_sort(expected.begin(), expected.end(), Entry::comes_before);
    Entry::sort_in_catalog_order(items);
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].get(), expected[i].get()) << i << ": " << expected[i]->name();
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
