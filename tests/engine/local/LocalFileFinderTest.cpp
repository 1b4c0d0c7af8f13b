#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "engine/local/LocalConnection.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

struct Found {
    bool folder;
    std::uint64_t size;
    std::int64_t time;
};

std::map<std::string, Found> list(FileFinder& finder, const std::string& path) {
    SharedPtr<Entry> folder = Entry::create_folder(path);
    std::map<std::string, Found> found;
    if (!finder.find_file(*folder))
        return {{"<unlistable>", {}}};
    for (bool more = true; more;) {
        SharedPtr<Entry> item;
        more = finder.find_next(item);
        if (item)
            found[std::string(item->name())] = {item->is_folder(), item->size(), item->time()};
    }
    return found;
}

void set_time(const std::string& path, std::int64_t seconds, bool of_link = false) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, of_link ? AT_SYMLINK_NOFOLLOW : 0), 0);
}

TEST(LocalFileFinder, DeliversNamesKindsSizesAndTimes) {
    test::TempFolder folder;
    test::write_file_at(folder.file("small.txt"), "hello", 1'600'000'000);
    std::filesystem::create_directory(folder.file("sub"));
    set_time(folder.file("sub"), 1'500'000'000);
    // A sparse file larger than 4 GiB keeps its full size.
    {
        const int fd = ::open(folder.file("huge.bin").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_EQ(::ftruncate(fd, 5LL << 30), 0);
        ::close(fd);
    }
    LocalFileFinder finder;
    const auto found = list(finder, folder.path());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_FALSE(found.at("small.txt").folder);
    EXPECT_EQ(found.at("small.txt").size, 5u);
    EXPECT_EQ(found.at("small.txt").time, 1'600'000'000);
    EXPECT_TRUE(found.at("sub").folder);
    EXPECT_EQ(found.at("sub").time, 1'500'000'000);
    EXPECT_EQ(found.at("huge.bin").size, 5ULL << 30);
}

TEST(LocalFileFinder, LinksToFoldersAreNotFollowed) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.file("real"));
    test::write_file_at(folder.file("target.txt"), "123456", 1'600'000'000);
    std::filesystem::create_directory_symlink(folder.file("real"), folder.file("loop"));
    std::filesystem::create_symlink(folder.file("target.txt"), folder.file("alias.txt"));
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    set_time(folder.file("loop"), 1'400'000'000, true);

    LocalFileFinder finder;
    const auto found = list(finder, folder.path());
    EXPECT_FALSE(found.at("loop").folder);
    EXPECT_EQ(found.at("loop").size, 0u);
    EXPECT_EQ(found.at("loop").time, 1'400'000'000);
    EXPECT_FALSE(found.at("alias.txt").folder);
    EXPECT_EQ(found.at("alias.txt").size, 6u);
    EXPECT_EQ(found.at("alias.txt").time, 1'600'000'000);
    EXPECT_FALSE(found.at("dangling").folder);
    EXPECT_EQ(found.at("dangling").size, 0u);
}

TEST(LocalFileFinder, EmptyMissingAndSecondFolders) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.file("empty"));
    std::filesystem::create_directory(folder.file("other"));
    test::write_file(folder.file("other/only"), "");
    LocalFileFinder finder;
    EXPECT_TRUE(list(finder, folder.file("empty")).empty());
    EXPECT_EQ(list(finder, folder.file("missing")).count("<unlistable>"), 1u);

    SharedPtr<Entry> empty = Entry::create_folder(folder.file("empty"));
    ASSERT_TRUE(finder.find_file(*empty));
    const auto second = list(finder, folder.file("other"));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second.count("only"), 1u);
}

}  // namespace
}  // namespace tovan
