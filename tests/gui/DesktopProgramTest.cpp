#include <algorithm>
#include <csignal>
#include <filesystem>

#include "cli/CliFixture.h"
#include "support/WaitUntil.h"

namespace tovan::test {
namespace {

// The built desktop program against a data folder that another process holds.
class DesktopProgramTest : public CliFixture {
protected:
    std::map<std::string, std::string> environment() const {
        return {{"QT_QPA_PLATFORM", "offscreen"},
                {"HOME", sandbox.file("home")},
                {"XDG_CONFIG_HOME", sandbox.file("home/.config")}};
    }
    CliProcess desktop() const {
        return CliProcess({"--data-dir", data()}, environment(), FERROVANE_DESKTOP);
    }
    bool listening() const {
        return wait_until(
            [&] { return std::filesystem::exists(data() + "/ferrovane-window.socket"); },
            std::chrono::seconds(20));
    }
};

// A second start shows the first one's window and ends; the first ends on
// SIGTERM as on Quit, with everything saved.
TEST_F(DesktopProgramTest, ASecondStartShowsTheFirstWindowAndSigtermEndsAndSaves) {
    CliProcess first = desktop();
    ASSERT_TRUE(listening()) << first.finish().err;
    expect_exit(desktop().finish(), 0, "already running");
    first.signal(SIGTERM);
    EXPECT_EQ(first.finish().status, 0);
    EXPECT_TRUE(std::filesystem::exists(data() + "/options.dat"));
    EXPECT_TRUE(std::filesystem::exists(
        sandbox.file("home/.config/autostart/org.ferrovane.Ferrovane.desktop")));
}

// A watch of the command line holds the folder: the desktop program says who
// it is and how to go on, and writes nothing.
TEST_F(DesktopProgramTest, AWatchHoldingTheFolderIsNamedAndNothingIsWritten) {
    std::filesystem::create_directories(tree());
    ok({"add", tree(), "--name", "tree"});
    // The watch itself would save a catalog once a scan of its own ends, at any
    // moment of the test.
    for (const char* key : {"update_status_enabled", "synchronize_enabled"})
        ok({"options", key, "false"});
    ok({"options", "startup_action", "0"});
    CliProcess watch(with_data({"watch"}), environment());
    ASSERT_TRUE(watch.wait_for_err("watching")) << watch.finish().err;
    const auto before = data_files();
    expect_exit(desktop().finish(), 1,
                "in use by ferrovane-cli (process " + std::to_string(watch.pid()) + ")");
    EXPECT_EQ(data_files(), before);
    EXPECT_FALSE(std::filesystem::exists(sandbox.file("home/.config/autostart")));
}

// Changing commands of the command line are carried out by the running window,
// with its own scheduler, and what they changed is in what it saves at its end.
TEST_F(DesktopProgramTest, ChangingCommandsAreCarriedOutByTheRunningWindow) {
    put("a/one.txt", "1");
    CliProcess window = desktop();
    ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(data() + "/ferrovane.sock"); },
                           std::chrono::seconds(20)))
        << window.finish().err;
    ok({"add", tree(), "--name", "T"});
    EXPECT_NE(ok({"sync", "T"}).find("+ T/a/one.txt"), std::string::npos);
    ok({"unmark", "T"});
    expect_exit(cli({"rename", "nothing", "X"}), 1, "nothing");
    window.signal(SIGTERM);
    EXPECT_EQ(window.finish().status, 0);
    EXPECT_TRUE(json({"changes", "T"}).empty());
    const std::vector<nlohmann::json> servers = json({"list"});
    EXPECT_EQ(std::count_if(servers.begin(), servers.end(),
                            [](const nlohmann::json& server) { return server["name"] == "T"; }),
              1);
}

}  // namespace
}  // namespace tovan::test
