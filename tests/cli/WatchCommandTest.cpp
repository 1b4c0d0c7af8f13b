#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

using WatchCommand = CliFixture;

// One watch run covers what a first start on a server needs: the download
// folder registered, scanned and saved while the lock keeps other writers out,
// readers served from the saved files, and an orderly stop on SIGTERM.
TEST_F(WatchCommand, FirstRunWatchesTheDownloadFolderAndSavesEverythingOnSigterm) {
    const std::string home = sandbox.file("home");
    std::filesystem::create_directories(home + "/Downloads/films");
    write_file(home + "/Downloads/films/a.mkv", "film");
    const std::map<std::string, std::string> environment = {
        {"HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_DOWNLOAD_DIR", ""}};

    CliProcess watch(with_data({"watch"}), environment);
    ASSERT_TRUE(watch.wait_for_err("scanned Downloads")) << watch.finish().err;

    const CliProcess::Result refused = cli({"group", "add", "G"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("used by process " + std::to_string(watch.pid())), std::string::npos)
        << refused.err;
    const CliProcess::Result listed = cli({"list", "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.err.find("as of that process's last save"), std::string::npos) << listed.err;
    const nlohmann::json server = nlohmann::json::parse(listed.out);
    EXPECT_EQ(server["name"], "Downloads");
    EXPECT_EQ(server["depth"], "3");
    EXPECT_EQ(server["files"], 1);
    EXPECT_EQ(cli({"status"}).out, "online  Downloads\n");

    watch.signal(SIGTERM);
    const CliProcess::Result stopped = watch.finish();
    EXPECT_EQ(stopped.status, 0) << stopped.err;
    EXPECT_NE(stopped.err.find("everything is saved"), std::string::npos) << stopped.err;
    EXPECT_EQ(json({"list"}).at(0)["files"], 1);
    ok({"group", "add", "G"});
}

}  // namespace
}  // namespace tovan::test
