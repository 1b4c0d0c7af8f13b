#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "cli/CliFixture.h"
#include "support/WaitUntil.h"

namespace tovan::test {
namespace {

using WatchCommand = CliFixture;

// One watch run covers what a first start on a server needs: the download
// folder registered, scanned and saved while the lock keeps a second watch out,
// readers served from the saved files, and an orderly stop on SIGTERM.
TEST_F(WatchCommand, FirstRunWatchesTheDownloadFolderAndSavesEverythingOnSigterm) {
    const std::string home = sandbox.file("home");
    std::filesystem::create_directories(home + "/Downloads/films");
    write_file(home + "/Downloads/films/a.mkv", "film");
    const std::map<std::string, std::string> environment = {
        {"HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_DOWNLOAD_DIR", ""}};

    CliProcess watch(with_data({"watch"}), environment);
    ASSERT_TRUE(watch.wait_for_err("scanned Downloads")) << watch.finish().err;

    expect_exit(cli({"watch"}), 1, "used by process " + std::to_string(watch.pid()));
    const CliProcess::Result listed = cli({"list", "--json"});
    expect_exit(listed, 0, "as of that process's last save");
    EXPECT_EQ(nlohmann::json::parse(listed.out)["files"], 1);
    EXPECT_EQ(cli({"status"}).out, "online  Downloads\n");

    watch.signal(SIGTERM);
    expect_exit(watch.finish(), 0, "everything is saved");
    EXPECT_EQ(json({"list"}).at(0)["files"], 1);
    ok({"group", "add", "G"});
}

// The watch's first scan finds the file added since the last sync, and the
// command gets the change as the JSON line --json prints.
TEST_F(WatchCommand, OnChangeRunsTheCommandWithTheChangesOnItsStdin) {
    put("a.txt", "a");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    put("b.txt", "b");
    const std::string changes = sandbox.file("changes.json");

    CliProcess watch(with_data({"watch", "--on-change", "cat > " + changes}));
    ASSERT_TRUE(wait_until([&] { return !read_file(changes).empty(); }, std::chrono::seconds(10)))
        << watch.finish().err;
    watch.signal(SIGTERM);
    expect_exit(watch.finish(), 0, "everything is saved");
    const nlohmann::json change = nlohmann::json::parse(read_file(changes));
    EXPECT_EQ(change["server"], "T");
    EXPECT_NE(change["name"].get<std::string>().find("b.txt"), std::string::npos) << change;
}

}  // namespace
}  // namespace tovan::test
