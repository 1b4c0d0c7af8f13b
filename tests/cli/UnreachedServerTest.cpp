#include <gtest/gtest.h>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"
#include "fixtures/SmbServer.h"

namespace tovan::test {
namespace {

class UnreachedServer : public CliFixture {
protected:
    // Each server is added, then `status` and `sync` must tell why it can't be
    // reached in the same words, and sync must fail.
    void expect_told(const std::vector<std::pair<std::string, std::string>>& cases) {
        for (const auto& [url, says] : cases) {
            const std::string name = "S" + std::to_string(++added_);
            ok({"add", url, "--name", name});
            const nlohmann::json state = json({"status", name}).at(0);
            EXPECT_EQ(state["state"], "offline") << url;
            EXPECT_NE(state.value("error", "").find(says), std::string::npos) << state.dump();
            EXPECT_EQ(state.dump().find("wrong"), std::string::npos) << "a password shows";
            expect_exit(cli({"sync", name}), 1, "can't reach " + name + " (" + says);
        }
    }

    int added_ = 0;
};

TEST_F(UnreachedServer, EachFtpAndLocalFailureIsToldApart) {
    put("pub/a.txt", "a");
    put("locked/b.txt", "b");
    const FtpServer ftp({.root = tree(), .user = "u", .password = "right", .deny = {"locked"}});
    const std::string origin = "127.0.0.1:" + std::to_string(ftp.port());
    const std::string closed = "127.0.0.1:" + std::to_string(free_port());
    expect_told({
        {"ftp://u:wrong@" + origin + "/", "the login to ftp://u@" + origin + "/ was refused"},
        {"ftp://u:right@" + origin + "/missing/",
         "the folder /missing/ of 127.0.0.1 was not found"},
        {"ftp://" + closed + "/", "ftp://" + closed + "/ refused the connection"},
        {"ftp://no-such-host.invalid/", "the host name no-such-host.invalid does not resolve"},
        {tree() + "/gone/", tree() + "/gone/ was not found"},
    });
    // Reached, but with a folder it may not enter: the rest is scanned, and sync fails.
    ok({"add", "ftp://u:right@" + origin + "/", "--name", "Part"});
    const CliProcess::Result part = cli({"sync", "Part"});
    expect_exit(part, 1,
                "scanned only in part: Part (the folder /locked of 127.0.0.1 may not be read");
    EXPECT_NE(part.out.find("a.txt"), std::string::npos);
}

TEST_F(UnreachedServer, EachSmbFailureIsToldApart) {
    if (const std::string reason = SmbServer::skip_reason(); !reason.empty())
        GTEST_SKIP() << reason;
    put("vault/key.txt", "k");
    SmbServer smbd({{"vault", tree() + "/vault", "root"}});
    ASSERT_TRUE(smbd.is_running()) << smbd.log();
    ASSERT_TRUE(smbd.add_login("root", "right"));
    const std::string host = smbd.host();
    expect_told({
        {"smb://root:wrong@" + host + "/vault/", "the login to "},
        {"smb://root:right@" + host + "/nothing/", "smb://" + host + "/nothing/ was not found"},
    });
    smbd.pause();
    expect_told({{"smb://root:right@" + host + "/vault/", host + " does not answer"}});
    smbd.resume();
}

}  // namespace
}  // namespace tovan::test
