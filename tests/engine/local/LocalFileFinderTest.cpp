#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "engine/local/LocalConnection.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

// "name:size@time" ("name/@time" for folders) sorted by name, or "<unlistable>".
std::string list(FileFinder& finder, const std::string& path) {
    SharedPtr<Entry> folder = Entry::create_folder(path);
    if (!finder.find_file(*folder))
        return "<unlistable>";
    std::map<std::string, std::string> found;
    for (bool more = true; more;) {
        SharedPtr<Entry> item;
        more = finder.find_next(item);
        if (item)
            found[std::string(item->name())] =
                (item->is_folder() ? "/" : ":" + std::to_string(item->size())) + "@" +
                std::to_string(item->time());
    }
    std::string text;
    for (const auto& [name, item] : found) text += (text.empty() ? "" : " ") + name + item;
    return text;
}

void set_time(const std::string& path, std::int64_t seconds, bool of_link = false) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, of_link ? AT_SYMLINK_NOFOLLOW : 0), 0);
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
    EXPECT_EQ(list(finder, folder.file("missing")), "<unlistable>");
}

}  // namespace
}  // namespace tovan
