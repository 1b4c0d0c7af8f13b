#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

using test::listing;
using test::render;

constexpr std::int64_t Now = 1000 + 3600;  // the listings' default time is an hour old

class Recorder : public MergeListener {
public:
    void marked(const SharedPtr<Entry>& item) override {
        marks.push_back(std::string(item->name()) + marker(item->state()));
    }
    void subfolder_found(const SharedPtr<Entry>& folder, std::int32_t depth,
                         bool new_folder) override {
        queued.push_back(std::string(folder->name()) + ":" + std::to_string(depth) +
                         (new_folder ? ":new" : ":known"));
    }
    static const char* marker(EntryState state) {
        const char* marks[] = {"", "~", "+", "*", "-"};
        return marks[static_cast<int>(state)];
    }
    std::vector<std::string> marks;
    std::vector<std::string> queued;
};

class ListingMergeTest : public testing::Test {
protected:
    ListingMergeTest() {
        everything.set_masks({"*.*"});
        server.set_parent_filter(&everything);
        EXPECT_TRUE(server.from_url("/srv/watched/"));
        root = server.root();
    }

    // Lists the folder: the fresh items are merged and what the merge reported
    // replaces what the recorder held.
    void scan(const SharedPtr<Entry>& folder, std::string_view items, bool new_folder = false,
              std::int32_t child_depth = -2, bool single = false, std::int64_t now = Now) {
        recorder = Recorder();
        ListingMerge merge(server, options, now, recorder);
        merge.merge(*folder, *listing(items, folder->path_for_children()), child_depth, new_folder,
                    single);
    }

    ScanFilter everything;
    Server server;
    ScanOptions options;
    Recorder recorder;
    SharedPtr<Entry> root;
};

using Strings = std::vector<std::string>;

TEST_F(ListingMergeTest, FirstListingAddsEverythingMarksFilesNewAndQueuesSubfolders) {
    scan(root, "b.txt a.txt sub/ other/", true);
    EXPECT_EQ(render(*root), "other/ sub/ a.txt+ b.txt+");
    EXPECT_EQ(root->state(), EntryState::ContainsChanges);
    EXPECT_EQ(recorder.marks, Strings({"a.txt+", "b.txt+"}));
    // A new folder's subfolders are taken in reverse listing order.
    EXPECT_EQ(recorder.queued, Strings({"other:-2:new", "sub:-2:new"}));
    EXPECT_EQ(root->find_child("sub")->path(), "/srv/watched/");
}

TEST_F(ListingMergeTest, UnchangedRescanKeepsTheCatalogEntriesAndMarksNothing) {
    scan(root, "a:5:900 b:6:900 dir/", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    const SharedPtr<Entry> a = root->find_child("a");
    scan(root, "a:5:900 b:6:900 dir/");
    EXPECT_EQ(render(*root), "dir/ a b");
    EXPECT_EQ(root->find_child("a"), a);
    EXPECT_TRUE(recorder.marks.empty());
    EXPECT_EQ(recorder.queued, Strings({"dir:-2:known"}));
}

TEST_F(ListingMergeTest, ATimeOnlyChangeIsMarkedOnlyWhenModificationTimesCount) {
    scan(root, "f:10:900", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    options.mark_changed_by_mtime = false;
    scan(root, "f:10:950");
    EXPECT_EQ(render(*root), "f");
    EXPECT_EQ(root->find_child("f")->time(), 950);
    EXPECT_EQ(root->find_child("f")->previous_time(), 900);

    options.mark_changed_by_mtime = true;
    scan(root, "f:10:990");
    EXPECT_EQ(render(*root), "f*");
    EXPECT_EQ(root->find_child("f")->previous_time(), 950);
    EXPECT_EQ(root->find_child("f")->previous_size(), 10u);
}

TEST_F(ListingMergeTest, ASizeChangeIsMarkedWhateverTimesCount) {
    options.mark_changed_by_mtime = false;
    scan(root, "f:10:900", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "f:12:900");
    EXPECT_EQ(render(*root), "f*");
    EXPECT_EQ(root->find_child("f")->previous_size(), 10u);
    EXPECT_EQ(recorder.marks, Strings({"f*"}));
}

TEST_F(ListingMergeTest, AFolderThatWasAFileIsTreatedAsNew) {
    scan(root, "thing", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "thing/");
    EXPECT_EQ(render(*root), "thing/");
    EXPECT_EQ(recorder.queued, Strings({"thing:-2:new"}));
    scan(root, "thing");
    EXPECT_EQ(render(*root), "thing+");
}

TEST_F(ListingMergeTest, VanishedItemsAreMarkedDeletedOnceOrRemoved) {
    scan(root, "keep gone dir/", true);
    scan(root->find_child("dir"), "inner", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "keep");
    EXPECT_EQ(render(*root), "dir/-(inner-) gone- keep");
    EXPECT_EQ(recorder.marks, Strings({"dir-", "gone-"}));
    scan(root, "keep");
    EXPECT_TRUE(recorder.marks.empty());  // already marked: not reported again

    options.mark_deleted = false;
    scan(root, "");
    EXPECT_EQ(render(*root), "");
    EXPECT_EQ(root->state(), EntryState::Unchanged);
}

TEST_F(ListingMergeTest, ADeletedFileThatComesBackIsNewAgain) {
    scan(root, "f:3:1000", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "");
    EXPECT_EQ(render(*root), "f-");
    scan(root, "f:3:1000");
    EXPECT_EQ(render(*root), "f+");
}

TEST_F(ListingMergeTest, AReturningFileTooOldToMarkIsNoLongerDeleted) {
    options.unmark_old_hours = 24;
    const std::int64_t later = Now + 100 * 3600;
    scan(root, "old:3:1000 young:1", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "young:1", false, -2, false, 1000 + 3600);
    EXPECT_EQ(render(*root), "old- young");
    scan(root, "old:3:1000 young:1", false, -2, false, later);
    EXPECT_EQ(render(*root), "old young");
    EXPECT_EQ(root->state(), EntryState::Unchanged);
}

TEST_F(ListingMergeTest, ADeletedFolderThatComesBackIsRestoredAndListedAsKnown) {
    scan(root, "d/", true);
    const SharedPtr<Entry> d = root->find_child("d");
    scan(d, "x y", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "");
    EXPECT_EQ(render(*root), "d/-(x- y-)");

    scan(root, "d/");
    EXPECT_EQ(root->find_child("d"), d);
    EXPECT_EQ(render(*root), "d/~(x- y-)");
    EXPECT_EQ(recorder.queued, Strings({"d:-2:known"}));

    scan(d, "x z");
    EXPECT_EQ(render(*root), "d/~(x+ y- z+)");
    ChangeMarks::set(*d->find_child("x"), EntryState::Unchanged);
    ChangeMarks::set(*d->find_child("z"), EntryState::Unchanged);
    ChangeMarks::set(*d->find_child("y"), EntryState::Unchanged);
    EXPECT_EQ(render(*root), "d/(x z)");
    EXPECT_EQ(root->state(), EntryState::Unchanged);
}

TEST_F(ListingMergeTest, OldChangesAreNotMarkedAndOldMarksExpire) {
    options.unmark_old_hours = 24;
    const std::int64_t hour = 3600;
    scan(root, "seen:1:0", true, -2, false, 30 * hour);
    EXPECT_EQ(render(*root), "seen");  // 30 hours old when found

    scan(root, "seen:2:0 recent:1:" + std::to_string(29 * hour), false, -2, false, 30 * hour);
    EXPECT_EQ(render(*root), "recent+ seen");  // modified 30 hours ago: not marked
    scan(root, "seen:2:0 recent:1:" + std::to_string(29 * hour), false, -2, false, 53 * hour);
    EXPECT_EQ(render(*root), "recent+ seen");  // 24 hours old: still within the limit
    scan(root, "seen:2:0 recent:1:" + std::to_string(29 * hour), false, -2, false, 54 * hour);
    EXPECT_EQ(render(*root), "recent seen");
    EXPECT_EQ(root->state(), EntryState::Unchanged);
}

TEST_F(ListingMergeTest, AnEmptyListingClearsMarksUnlessTheyAreKept) {
    scan(root, "a b sub/", true);
    scan(root->find_child("sub"), "c", true);
    options.keep_empty_folder_marks = false;
    scan(root, "");
    EXPECT_EQ(render(*root), "sub/-(c-) a- b-");
    EXPECT_EQ(recorder.marks, Strings({"sub-", "a-", "b-"}));
}

TEST_F(ListingMergeTest, IgnoredItemsAreCatalogedNeverMarkedAndDroppedWhenGone) {
    server.filter().set_masks({"-*.tmp", "+*"});
    scan(root, "work.tmp keep.txt cache.tmp/ build.tmp/", true);
    scan(root->find_child("cache.tmp"), "x.tmp", true);
    scan(root->find_child("build.tmp"), "out.txt", true);
    EXPECT_EQ(render(*root), "build.tmp/~(out.txt+) cache.tmp/(x.tmp) keep.txt+ work.tmp");
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, "");
    // A folder the filter ignores still shows that what it held is gone.
    EXPECT_EQ(render(*root), "build.tmp/-(out.txt-) keep.txt-");
    EXPECT_EQ(recorder.marks, Strings({"build.tmp-", "keep.txt-"}));
    CatalogStats stats;
    root->statistics(stats);
    EXPECT_EQ(stats.files, 2u);
}

TEST_F(ListingMergeTest, SubfolderDepthsFollowOverridesAndTheSingleFlag) {
    options.full_scan_new_folders = false;
    scan(root, "a/ b/ c/", true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    server.set_scan_depth(*root->find_child("b"), 5);
    server.set_scan_depth(*root->find_child("c"), 0);
    scan(root, "a/ b/ c/", false, 1);
    EXPECT_EQ(recorder.queued, Strings({"b:5:known", "a:1:known"}));
    scan(root, "a/ b/ c/", false, 0);
    EXPECT_EQ(recorder.queued, Strings({"b:5:known"}));
    scan(root, "a/ b/ c/", false, 3, true);
    EXPECT_TRUE(recorder.queued.empty());
    scan(root, "a/ b/ c/ d/", false, 2);
    EXPECT_EQ(recorder.queued, Strings({"d:2:new", "b:5:known", "a:2:known"}));
}

TEST_F(ListingMergeTest, AFolderOfAHundredThousandChangesStaysInOrder) {
    std::string first;
    std::string second;
    for (int i = 0; i < 100000; ++i) {
        const std::string name = "f" + std::to_string(i);
        first += name + ":1:1000 ";
        // Every third file grows, every fifth is gone, and new ones come in between.
        if (i % 5 != 0)
            second += name + (i % 3 == 0 ? ":2:1000 " : ":1:1000 ");
        if (i % 7 == 0)
            second += "n" + std::to_string(i) + " ";
    }
    scan(root, first, true);
    ChangeMarks::set(*root, EntryState::Unchanged);
    scan(root, second);
    EXPECT_EQ(root->child_count(), 100000u + 100000u / 7 + 1);
    EXPECT_EQ(root->find_child("f0")->state(), EntryState::Deleted);
    EXPECT_EQ(root->find_child("f3")->state(), EntryState::Modified);
    EXPECT_EQ(root->find_child("f4")->state(), EntryState::Unchanged);
    EXPECT_EQ(root->find_child("n7")->state(), EntryState::New);
    for (std::size_t i = 1; i < root->child_count(); ++i)
        ASSERT_LT(root->child(i - 1)->name(), root->child(i)->name());
}

}  // namespace
}  // namespace tovan
