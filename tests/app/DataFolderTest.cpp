#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/SystemPaths.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::read_file;
using test::TempFolder;
using test::write_file;

TEST(DataFolder, TheOptionWinsThenTheEnvironmentThenBesideTheProgramThenXdgData) {
    TempFolder folder;
    const std::string program = folder.file("bin/ferrovane");
    const std::string unwritable = "/nonexistent/bin/ferrovane";
    struct Case {
        DataFolder::Sources sources;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"/d/opt", "/d/env", program, "/home/u/.local/share"}, "/d/opt/"},
        {{"", "/d/env/", program, "/home/u/.local/share"}, "/d/env/"},
        {{"", "", program, "/home/u/.local/share"}, "/home/u/.local/share/ferrovane/SAVE/"},
        {{"", "", folder.file("ferrovane"), "/x"}, folder.file("SAVE/")},
        {{"", "", unwritable, "/home/u/.local/share"}, "/home/u/.local/share/ferrovane/SAVE/"},
        {{"", "", unwritable, ""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DataFolder::choose(c.sources), c.expected);
    }
    EXPECT_EQ(SystemPaths::xdg_folder("/x/data", "/home/u", ".local/share"), "/x/data");
    EXPECT_EQ(SystemPaths::xdg_folder("relative", "/home/u/", ".local/share"),
              "/home/u/.local/share");
    EXPECT_EQ(SystemPaths::xdg_folder(nullptr, nullptr, ".config"), "");
    const char* spaced[] = {"ferrovane", "-v", "--data-dir", "/d"};
    const char* joined[] = {"ferrovane", "--data-dir=/e"};
    EXPECT_EQ(DataFolder::option_value(4, spaced), "/d");
    EXPECT_EQ(DataFolder::option_value(2, joined), "/e");
    EXPECT_EQ(DataFolder::option_value(3, spaced), "");  // "--data-dir" without its value
}

TEST(DataFolder, OpeningCreatesAPrivateFolderAndRecordsTheHolder) {
    TempFolder folder;
    DataFolder data;
    ASSERT_TRUE(data.open(folder.file("a/b/SAVE"))) << data.error();
    EXPECT_EQ(data.path(), folder.file("a/b/SAVE/"));
    EXPECT_EQ(data.parent(), folder.file("a/b"));
    struct stat status;
    ASSERT_EQ(::stat(data.path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(read_file(data.path() + DataFolder::LockName), std::to_string(::getpid()) + "\n");
}

TEST(DataFolder, AFolderThatCannotBeMadeIsNamedWithWhatToDo) {
    TempFolder folder;
    write_file(folder.file("file"), "x");
    DataFolder data;
    EXPECT_FALSE(data.open(folder.file("file/SAVE")));
    EXPECT_NE(data.error().find(folder.file("file/SAVE/")), std::string::npos) << data.error();
    EXPECT_NE(data.error().find("--data-dir"), std::string::npos);
    EXPECT_FALSE(data.is_open());
}

// The lock file is written with the process id: one planted as a link, a second
// name or anything but a plain file is refused, and what it leads to stays as it was.
TEST(DataFolder, ALockPathThatIsNotAPlainFileIsRefusedAndNothingBehindItIsWritten) {
    TempFolder folder;
    const std::string victim = folder.file("victim");
    const std::string lock = folder.file("data/") + DataFolder::LockName;
    const std::vector<std::function<void()>> plants = {
        [&] { std::filesystem::create_symlink(victim, lock); },
        [&] { std::filesystem::create_symlink(folder.file("absent"), lock); },
        [&] { std::filesystem::create_hard_link(victim, lock); },
        [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); },
    };
    std::filesystem::create_directories(folder.file("data"));
    for (std::size_t at = 0; at < plants.size(); ++at) {
        SCOPED_TRACE("plant " + std::to_string(at));
        write_file(victim, "keep me");
        std::filesystem::remove(lock);
        plants[at]();
        DataFolder data;
        EXPECT_FALSE(data.open(folder.file("data")));
        EXPECT_NE(data.error().find(lock), std::string::npos) << data.error();
        EXPECT_EQ(read_file(victim), "keep me");
        EXPECT_FALSE(std::filesystem::exists(folder.file("absent")));
    }
}

// The lock of another process holds until that process ends; a stale lock file
// left by a process that died no longer counts.
TEST(DataFolder, OneHolderAtATimeAndTheSecondLearnsWhichProcess) {
    TempFolder folder;
    write_file(folder.file(DataFolder::LockName), "999999\n");
    int locked[2];
    int release[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DataFolder held;
        const char ok = held.open(folder.path()) ? '1' : '0';
        char ignored;
        if (::write(locked[1], &ok, 1) == 1 && ::read(release[0], &ignored, 1) < 0)
            ::_exit(1);
        ::_exit(0);
    }
    char ok = '0';
    ASSERT_EQ(::read(locked[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    DataFolder data;
    EXPECT_FALSE(data.open(folder.path()));
    EXPECT_EQ(data.error(), "the data folder " + folder.path() + "/ is used by process " +
                                std::to_string(child) +
                                "; close that Ferrovane or choose another folder with --data-dir");

    ASSERT_EQ(::write(release[1], "x", 1), 1);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(data.open(folder.path())) << data.error();
    for (const int end : {locked[0], locked[1], release[0], release[1]}) ::close(end);
}

}  // namespace
}  // namespace tovan
