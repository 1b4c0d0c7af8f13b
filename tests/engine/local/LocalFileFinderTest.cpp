#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "engine/local/LocalConnection.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::set_time;

std::optional<std::string> list(FileFinder& finder, const std::string& path) {
    return test::list_folder(finder, *Entry::create_folder(path));
}

TEST(LocalFileFinder, DeliversNamesKindsSizesAndTimesWithoutFollowingLinksToFolders) {
    test::TempFolder folder;
    test::write_file_at(folder.file("small.txt"), "hello", 1'600'000'000);
    std::filesystem::create_directory(folder.file("sub"));
    set_time(folder.file("sub"), 1'500'000'000);
    test::write_file_at(folder.file("huge.bin"), "", 1'600'000'000);
    std::filesystem::resize_file(folder.file("huge.bin"), 5LL << 30);
    set_time(folder.file("huge.bin"), 1'600'000'000);
    std::filesystem::create_directory_symlink(folder.file("sub"), folder.file("loop"));
    std::filesystem::create_symlink(folder.file("small.txt"), folder.file("alias.txt"));
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    set_time(folder.file("loop"), 1'400'000'000, true);
    set_time(folder.file("dangling"), 1'400'000'000, true);
    LocalFileFinder finder;
    EXPECT_EQ(list(finder, folder.path()),
              "alias.txt:5@1600000000 dangling:0@1400000000 huge.bin:5368709120@1600000000 "
              "loop:0@1400000000 small.txt:5@1600000000 sub/@1500000000");
    EXPECT_EQ(list(finder, folder.file("sub")), "");  // nothing left of the first
    EXPECT_EQ(list(finder, folder.file("missing")), std::nullopt);
}

// A folder the catalog already holds is taken as it stands there, without a look
// of its own; anything else, whatever the catalog says of its name, is looked at.
TEST(LocalFileFinder, TakesKnownFoldersFromTheCatalogAndLooksAtEverythingElse) {
    test::TempFolder folder;
    for (const char* name : {"known", "was-file"}) {
        std::filesystem::create_directory(folder.file(name));
        set_time(folder.file(name), 1'500'000'000);
    }
    std::filesystem::create_directory_symlink(folder.file("known"), folder.file("now-link"));
    set_time(folder.file("now-link"), 1'400'000'000, true);
    const SharedPtr<Entry> place = Entry::create_folder(folder.path());
    for (const char* name : {"known", "now-link", "gone"})
        place->add_child(Entry::create_folder(name, 1'200'000'000));
    place->add_child(Entry::create_file("was-file", 3, 1'200'000'000));
    LocalFileFinder finder;
    EXPECT_EQ(test::list_folder(finder, *place),
              "known/@1200000000 now-link:0@1400000000 was-file/@1500000000");
}

// Names of a folder that takes several reads of the finder's buffer: the item read
// ahead must leave the buffer whole before the next read overwrites it.
TEST(LocalFileFinder, ReadsAFolderLargerThanItsBufferWhole) {
    test::TempFolder folder;
    std::set<std::string> written;
    for (int i = 0; i < 1500; ++i) {
        const std::string name = "file-" + std::to_string(10000 + i) + std::string(40, 'x');
        test::write_file(folder.file(name), "");
        written.insert(name);
    }
    const SharedPtr<Entry> place = Entry::create_folder(folder.path());
    LocalFileFinder finder;
    ASSERT_TRUE(finder.find_file(*place));
    Listing listing;
    for (bool more = true; more;) more = finder.list_next(listing);
    std::set<std::string> listed;
    for (std::size_t i = 0; i < listing.size(); ++i) listed.emplace(listing.name(i));
    EXPECT_EQ(listed, written);

    ASSERT_TRUE(finder.find_file(*place));
    std::set<std::string> found;
    for (bool more = true; more;) {
        SharedPtr<Entry> item;
        more = finder.find_next(item);
        if (item)
            found.emplace(item->name());
    }
    EXPECT_EQ(found, written);
}

}  // namespace
}  // namespace tovan
