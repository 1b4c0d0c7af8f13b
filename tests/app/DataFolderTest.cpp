#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/DataFolder.h"
#include "app/SystemPaths.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

using test::read_file;
using test::TempFolder;
using test::write_file;

// A writable program folder is no portable install; one is made by creating
// its SAVE folder. Logs go beside a portable install's data, else to the XDG
// state folder.
TEST(DataFolder, TheOptionWinsThenTheEnvironmentThenAPortableSaveThenXdgData) {
    TempFolder folder;
    const std::string portable = folder.file("portable/ferrovane");
    std::filesystem::create_directories(folder.file("portable/SAVE"));
    const std::string writable = folder.file("ferrovane");
    const std::string system = "/nonexistent/bin/ferrovane";
    const std::string data = "/home/u/.local/share", state = "/home/u/.local/state";
    // The sources, then the data folder and the log folder chosen.
    const std::tuple<DataFolder::Sources, std::string, std::string> cases[] = {
        {{"/d/opt", "/d/env", portable, data, state}, "/d/opt/", state + "/ferrovane"},
        {{"", "/d/env/", portable, data, state}, "/d/env/", state + "/ferrovane"},
        {{"", "", portable, data, state}, folder.file("portable/SAVE/"), folder.file("portable")},
        {{"", "", writable, data, state}, data + "/ferrovane/SAVE/", state + "/ferrovane"},
        {{"", "", system, data, ""}, data + "/ferrovane/SAVE/", data + "/ferrovane"},
        {{"", "", system, "", state}, "", ""},
    };
    for (const auto& [sources, expected, logs] : cases) {
        const std::string chosen = DataFolder::choose(sources);
        EXPECT_EQ(chosen, expected);
        EXPECT_EQ(DataFolder::log_folder(sources, chosen), logs) << expected;
    }
    // A relative XDG value is not taken.
    EXPECT_EQ(SystemPaths::xdg_folder("relative", "/home/u/", ".local/share"),
              "/home/u/.local/share");
    const char* spaced[] = {"ferrovane", "-v", "--data-dir", "/d"};
    EXPECT_EQ(DataFolder::option_value(4, spaced), "/d");
    EXPECT_EQ(DataFolder::option_value(3, spaced), "");  // "--data-dir" without its value
}

// A folder that cannot be made is named, with what to do.
TEST(DataFolder, OpeningCreatesAPrivateFolderAndRecordsTheHolder) {
    TempFolder folder;
    write_file(folder.file("file"), "x");
    DataFolder data;
    EXPECT_FALSE(data.open(folder.file("file/SAVE")));
    EXPECT_NE(data.error().find(folder.file("file/SAVE/") + " can't be created"), std::string::npos)
        << data.error();
    ASSERT_TRUE(data.open(folder.file("a/b/SAVE"))) << data.error();
    struct stat status;
    ASSERT_EQ(::stat(data.path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(read_file(data.path() + DataFolder::LockName), std::to_string(::getpid()) + "\n");
}

// The lock file is written with the process id: one planted as a link, a second
// name or anything but a plain file is refused, and what it leads to stays as it was.
TEST(DataFolder, ALockPathThatIsNotAPlainFileIsRefusedAndNothingBehindItIsWritten) {
    TempFolder folder;
    const std::string victim = folder.file("victim");
    const std::string lock = folder.file("data/") + DataFolder::LockName;
    const std::vector<std::function<void()>> plants = {
        [&] { std::filesystem::create_symlink(victim, lock); },
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
    }
}

// The lock of another process holds until that process ends; the lock file it
// leaves, like one from before, no longer counts.
TEST(DataFolder, OneHolderAtATimeAndTheSecondLearnsWhichProcess) {
    TempFolder folder;
    write_file(folder.file(DataFolder::LockName), "999999\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DataFolder held;
        ::alarm(60);  // ends it should the test stop before killing it
        if (held.open(folder.path()))
            ::pause();
        ::_exit(1);
    }
    const std::string holder = std::to_string(child);
    ASSERT_TRUE(test::wait_until(
        [&] { return read_file(folder.file(DataFolder::LockName)) == holder + "\n"; }));
    DataFolder data;
    EXPECT_FALSE(data.open(folder.path()));
    EXPECT_EQ(data.error(), "the data folder " + folder.path() + "/ is used by process " + holder +
                                "; close that Ferrovane or choose another folder with --data-dir");
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(data.open(folder.path())) << data.error();
}

}  // namespace
}  // namespace tovan
