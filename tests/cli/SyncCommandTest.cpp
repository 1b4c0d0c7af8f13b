#include <gtest/gtest.h>

#include <memory>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"
#include "fixtures/SmbServer.h"

namespace tovan::test {
namespace {

using SyncCommand = CliFixture;

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
    EXPECT_NE(ok({"sync", "V"}).find("+ V/key.txt\n"), std::string::npos);
}

// The URL's port, IPv6 host and escaped login reach the server, and the
// password stays out of what is printed. Once the server is gone, a search of
// the servers online leaves it out.
TEST_F(SyncCommand, ReachesAnFtpServerAtTheHostAndPortItsUrlNames) {
    put("pub/deep/b.txt", "there");
    FtpServer::Options options;
    options.root = tree();
    options.host = "::1";
    options.user = "us@r";
    options.password = "se:cret";
    auto server = std::make_unique<FtpServer>(options);
    const std::string host = "[::1]:" + std::to_string(server->port());
    ok({"add", "ftp://us%40r:se%3Acret@" + host + "/pub/", "--name", "F"});
    ok({"sync"});
    const nlohmann::json listed = json({"list"}).at(0);
    EXPECT_EQ(listed["url"], "ftp://us%40r:***@" + host + "/pub/");
    EXPECT_EQ(listed["files"], 1);

    server.reset();
    EXPECT_EQ(json({"search", "b.txt"}).size(), 1u);
    EXPECT_EQ(json({"search", "b.txt", "--online"}).size(), 0u);
}

}  // namespace
}  // namespace tovan::test
