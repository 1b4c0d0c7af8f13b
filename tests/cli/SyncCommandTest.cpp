#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"
#include "fixtures/SmbServer.h"

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

// Regression: the login was read before the data folder was open, so it was
// kept nowhere and the share refused the next run.
TEST_F(SyncCommand, KeepsTheLoginOfAnSmbUrlForTheRunsAfterIt) {
    if (const std::string reason = SmbServer::skip_reason(); !reason.empty())
        GTEST_SKIP() << reason;
    put("vault/key.txt", "k");
    const SmbServer smbd({{"vault", tree() + "/vault", "root"}});
    ASSERT_TRUE(smbd.is_running()) << smbd.log();
    ASSERT_TRUE(smbd.add_login("root", "Secret 1"));
    ok({"add", "smb://root:Secret%201@" + smbd.host() + "/vault/", "--name", "V"});
    const std::string found = ok({"sync", "V"});
    EXPECT_NE(found.find("+ V/key.txt\n"), std::string::npos) << found;
}

// The URL's port, IPv6 host and escaped login reach the server, and the
// password stays out of what is printed.
TEST_F(SyncCommand, ReachesAnFtpServerAtTheHostAndPortItsUrlNames) {
    put("pub/a.txt", "hi");
    put("pub/deep/b.txt", "there");
    for (const std::string address : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(address);
        FtpServer::Options options;
        options.root = tree();
        options.host = address;
        options.user = "us@r";
        options.password = "se:cret";
        const FtpServer server(options);
        const std::string host =
            (address == "::1" ? "[::1]" : address) + ":" + std::to_string(server.port());
        ok({"add", "ftp://us%40r:se%3Acret@" + host + "/pub/", "--name", "F"});
        ok({"sync"});

        const nlohmann::json listed = json({"list"}).at(0);
        EXPECT_EQ(listed["url"], "ftp://us%40r:***@" + host + "/pub/");
        EXPECT_EQ(listed["files"], 2);
        EXPECT_EQ(ok({"status", "F"}), "online  F\n");
        ok({"remove", "F"});
    }
}

}  // namespace
}  // namespace tovan::test
