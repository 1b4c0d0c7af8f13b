#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"

namespace tovan::test {
namespace {

using SyncCommand = CliFixture;

std::set<std::string> change_lines(const std::vector<nlohmann::json>& changes) {
    std::set<std::string> lines;
    for (const nlohmann::json& change : changes)
        lines.insert(change["change"].get<std::string>() + " " + change["name"].get<std::string>());
    return lines;
}

TEST_F(SyncCommand, MarksWhatChangedInALocalTreeUntilUnmarked) {
    put("a.txt", "hi");
    put("sub/b.dat", "x");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    ok({"unmark", "T"});

    put("a.txt", "changed");
    put("sub/c.txt", "new");
    std::filesystem::remove(tree() + "/sub/b.dat");
    const std::string found = ok({"sync", "T"});
    EXPECT_NE(found.find("* T/a.txt\n"), std::string::npos) << found;
    EXPECT_NE(found.find("+ T/sub/c.txt\n"), std::string::npos) << found;
    EXPECT_NE(found.find("- T/sub/b.dat\n"), std::string::npos) << found;
    EXPECT_EQ(change_lines(json({"changes"})),
              (std::set<std::string>{"* T/a.txt", "+ T/sub/c.txt", "- T/sub/b.dat"}));

    ok({"unmark", "T/sub"});
    EXPECT_EQ(change_lines(json({"changes"})), std::set<std::string>{"* T/a.txt"});
    const nlohmann::json server = json({"list"}).at(0);
    EXPECT_EQ(server["files"], 2);
    EXPECT_EQ(server["changes"], 1);
}

// The location reading of FTP servers takes no port; the command line does,
// and keeps the password out of what it prints.
TEST_F(SyncCommand, ReachesAnFtpServerOnThePortItsUrlNames) {
    put("pub/a.txt", "hi");
    put("pub/deep/b.txt", "there");
    FtpServer::Options options;
    options.root = tree();
    options.user = "user";
    options.password = "secret";
    const FtpServer server(options);
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    ok({"add", "ftp://user:secret@" + host + "/pub/", "--name", "F"});
    ok({"sync"});

    const nlohmann::json listed = json({"list"}).at(0);
    EXPECT_EQ(listed["url"], "ftp://user:***@" + host + "/pub/");
    EXPECT_EQ(listed["files"], 2);
    EXPECT_EQ(ok({"status", "F"}), "online  F\n");
}

}  // namespace
}  // namespace tovan::test
