#include <gtest/gtest.h>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Entry.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

using test::render;

SharedPtr<Entry> add_file(const SharedPtr<Entry>& folder, std::string_view name,
                          std::uint64_t size = 1, std::int64_t time = 1000) {
    SharedPtr<Entry> file = Entry::create_file(name, size, time);
    folder->add_child(file);
    return file;
}

SharedPtr<Entry> add_folder(const SharedPtr<Entry>& folder, std::string_view name) {
    SharedPtr<Entry> sub = Entry::create_folder(name);
    sub->set_path(folder->path_for_children());
    folder->add_child(sub);
    return sub;
}

TEST(Entry, ChildrenSortFoldersFirstThenByBytes) {
    SharedPtr<Entry> root = Entry::create_folder("/srv/");
    for (const char* name : {"b", "B", "a", "ab", "é", "Z"}) add_file(root, name);
    add_folder(root, "zeta");
    add_folder(root, "Alpha");
    root->sort_children();
    EXPECT_EQ(render(*root), "Alpha/ zeta/ B Z a ab b é");
}

TEST(Entry, FindChildMatchesExactNamesWhereverTheHintPoints) {
    SharedPtr<Entry> root = Entry::create_folder("");
    for (int i = 0; i < 50; ++i) add_file(root, "file" + std::to_string(100 + i));
    add_folder(root, "dir");
    add_file(root, "late");  // appended after sorting: found in the unsorted tail
    EXPECT_EQ(root->find_child("file120", 20)->name(), "file120");
    root->sort_children();
    add_file(root, "aaa");
    for (std::size_t hint : {0u, 1u, 20u, 49u, 500u}) {
        EXPECT_EQ(root->find_child("file120", hint)->name(), "file120");
        EXPECT_EQ(root->find_child("dir", hint)->name(), "dir");
        EXPECT_EQ(root->find_child("aaa", hint)->name(), "aaa");
        EXPECT_FALSE(root->find_child("file12", hint));
        EXPECT_FALSE(root->find_child("FILE120", hint));
    }
    EXPECT_FALSE(root->child(root->child_count()));
    EXPECT_FALSE(Entry::create_file("f", 0, 0)->find_child("x"));
}

TEST(Entry, PathsComeFromThePoolAndFollowRebasing) {
    SharedPtr<Entry> root = Entry::create_folder("share");
    root->set_path("\\\\host\\");
    SharedPtr<Entry> sub = add_folder(root, "sub");
    SharedPtr<Entry> deeper = add_folder(sub, "deeper");
    SharedPtr<Entry> file = add_file(deeper, "a.txt");
    EXPECT_EQ(file->full_path(), "\\\\host\\share/sub/deeper/a.txt");
    root->rebase_paths("/mnt/");
    EXPECT_EQ(deeper->path(), "/mnt/share/sub/");
    EXPECT_EQ(file->full_path(), "/mnt/share/sub/deeper/a.txt");
    EXPECT_EQ(root->path_for_children(), "/mnt/share/");
}

TEST(Entry, MarkingAFileMarksAncestorsUpToTheFirstMarkedOne) {
    SharedPtr<Entry> root = Entry::create_folder("/");
    SharedPtr<Entry> a = add_folder(root, "a");
    SharedPtr<Entry> b = add_folder(a, "b");
    SharedPtr<Entry> one = add_file(b, "one");
    SharedPtr<Entry> two = add_file(b, "two");
    ChangeMarks::set(*one, EntryState::New);
    EXPECT_EQ(render(*root), "a/~(b/~(one+ two))");
    EXPECT_EQ(root->state(), EntryState::ContainsChanges);
    ChangeMarks::set(*two, EntryState::Modified);
    ChangeMarks::set(*one, EntryState::Unchanged);
    EXPECT_EQ(render(*root), "a/~(b/~(one two*))");
    ChangeMarks::set(*two, EntryState::Unchanged);
    EXPECT_EQ(render(*root), "a/(b/(one two))");
    EXPECT_EQ(root->state(), EntryState::Unchanged);
}

TEST(Entry, UnmarkingRemovesDeletedItemsAndClearsTheMarksAbove) {
    SharedPtr<Entry> root = Entry::create_folder("/");
    SharedPtr<Entry> a = add_folder(root, "a");
    SharedPtr<Entry> gone = add_file(a, "gone");
    SharedPtr<Entry> kept = add_file(a, "kept");
    ChangeMarks::set(*gone, EntryState::Deleted);
    EXPECT_EQ(render(*root), "a/~(gone- kept)");
    ChangeMarks::set(*gone, EntryState::Unchanged);
    EXPECT_EQ(render(*root), "a/(kept)");
    EXPECT_EQ(gone->parent(), nullptr);  // a removed item keeps no link to its folder

    SharedPtr<Entry> b = add_folder(a, "b");
    ChangeMarks::set(*add_file(b, "x"), EntryState::New);
    ChangeMarks::set(*add_file(b, "y"), EntryState::Deleted);
    SharedPtr<Entry> c = add_folder(b, "c");
    ChangeMarks::set(*add_file(c, "z"), EntryState::Modified);
    EXPECT_EQ(render(*root), "a/~(kept b/~(x+ y- c/~(z*)))");
    ChangeMarks::set(*a, EntryState::Unchanged);
    EXPECT_EQ(render(*root), "a/(kept b/(x c/(z)))");
}

TEST(Entry, DeletingAFolderDeletesItsSubtreeAndRestoreBringsItBack) {
    SharedPtr<Entry> root = Entry::create_folder("/");
    SharedPtr<Entry> a = add_folder(root, "a");
    SharedPtr<Entry> b = add_folder(a, "b");
    add_file(b, "x");
    ChangeMarks::set(*b, EntryState::Deleted);
    EXPECT_EQ(render(*root), "a/~(b/-(x-))");
    ChangeMarks::restore(*b);
    EXPECT_EQ(render(*root), "a/~(b/~(x-))");
    ChangeMarks::restore(*b->child(0));
    EXPECT_EQ(render(*root), "a/(b/(x))");
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

TEST(Entry, PreviousValuesAndStatistics) {
    SharedPtr<Entry> root = Entry::create_folder("/");
    SharedPtr<Entry> sub = add_folder(root, "sub");
    add_file(root, "same", 10);
    ChangeMarks::set(*add_file(root, "fresh", 20), EntryState::New);
    SharedPtr<Entry> changed = add_file(sub, "changed", 30, 2000);
    changed->set_previous_size(5);
    changed->set_previous_time(1500);
    ChangeMarks::set(*changed, EntryState::Modified);
    ChangeMarks::set(*add_file(sub, "gone", 40), EntryState::Deleted);

    EXPECT_EQ(changed->previous_size(), 5u);
    EXPECT_EQ(changed->previous_time(), 1500);
    EXPECT_EQ(root->find_child("fresh")->previous_size(), 0u);
    EXPECT_EQ(root->find_child("same")->previous_size(), 10u);
    EXPECT_EQ(root->find_child("same")->previous_time(), 1000);

    CatalogStats stats;
    root->statistics(stats);
    EXPECT_EQ(stats.files, 4u);
    EXPECT_EQ(stats.folders, 1u);
    EXPECT_EQ(stats.current_size, 10u + 20u + 30u);
    EXPECT_EQ(stats.previous_size, 10u + 5u + 40u);

    ChangeMarks::set(*changed, EntryState::Unchanged);
    EXPECT_FALSE(changed->has_previous());
    EXPECT_EQ(changed->previous_size(), 30u);
}

TEST(Entry, NamesCanChangeAndFoldersKeepChildrenWhenMadeFoldersAgain) {
    SharedPtr<Entry> plain(new Entry);
    plain->make_folder(true);
    plain->set_name("renamed");
    add_file(plain, "kid");
    plain->set_last_listing_ms(42);
    plain->make_folder(true);
    EXPECT_EQ(plain->name(), "renamed");
    EXPECT_EQ(plain->child_count(), 1u);
    EXPECT_EQ(plain->last_listing_ms(), 0);
    plain->set_name("a much longer name than before");
    EXPECT_EQ(plain->full_path(), "a much longer name than before");
}

}  // namespace
}  // namespace tovan
