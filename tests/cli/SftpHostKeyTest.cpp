#include <filesystem>

#include "cli/CliFixture.h"
#include "fixtures/SshServer.h"

namespace tovan::test {
namespace {

// add and sync against a real sshd whose host key the data folder does not
// know yet; the client key is found through HOME.
class SftpHostKeyTest : public CliFixture {
protected:
    void SetUp() override {
        if (const std::string why = SshServer::skip_reason(); !why.empty())
            GTEST_SKIP() << why;
        ASSERT_TRUE(sshd.is_running());
        put("a.txt", "hi");
    }
    CliProcess::Result run(std::vector<std::string> arguments) const {
        return CliProcess::run(with_data(std::move(arguments)),
                               {{"HOME", sshd.home()}, {"SSH_AUTH_SOCK", ""}});
    }
    std::string url() const {
        return "sftp://root@127.0.0.1:" + std::to_string(sshd.port()) + tree();
    }
    std::string known_hosts() const { return read_file(data() + "/known_hosts"); }

    SshServer sshd;
};

TEST_F(SftpHostKeyTest, AnUnknownKeyIsAcceptedOnlyByTheUserAndAChangedOneNever) {
    const CliProcess::Result refused = run({"add", url(), "--name", "S"});
    expect_exit(refused, 1, "is not known yet (SHA256:");
    EXPECT_NE(refused.err.find("then pass --accept-host-key"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(data() + "/known_hosts"));

    EXPECT_EQ(run({"add", url(), "--name", "S", "--accept-host-key"}).status, 0);
    EXPECT_EQ(known_hosts(), sshd.known_hosts_line());
    EXPECT_EQ(std::filesystem::status(data() + "/known_hosts").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const CliProcess::Result synced = run({"sync"});
    EXPECT_EQ(synced.status, 0) << synced.err;
    EXPECT_NE(synced.out.find("+ S/a.txt"), std::string::npos) << synced.out;

    sshd.stop();
    ASSERT_TRUE(sshd.start(true));
    const std::string accepted = known_hosts();
    expect_exit(run({"sync"}), 1, "changed: it was SHA256:");
    expect_exit(run({"add", url(), "--name", "T", "--accept-host-key"}), 1,
                "ssh-keygen -R '[127.0.0.1]:" + std::to_string(sshd.port()) + "'");
    EXPECT_EQ(known_hosts(), accepted);
}

// A key forgotten after the server was added: the scan names the command that
// accepts it by its fingerprint, and trust checks that fingerprint with the server.
TEST_F(SftpHostKeyTest, TrustAcceptsTheKeyTheServerOffersByItsFingerprint) {
    ASSERT_EQ(run({"add", url(), "--name", "S", "--accept-host-key"}).status, 0);
    std::filesystem::remove(data() + "/known_hosts");

    const CliProcess::Result unknown = run({"sync"});
    expect_exit(unknown, 1, "then accept it: ferrovane-cli trust S SHA256:");
    const std::size_t at = unknown.err.find("trust S ") + 8;
    const std::string offered = unknown.err.substr(at, unknown.err.find_first_of(" )\n", at) - at);

    expect_exit(run({"trust", "S", "SHA256:AAAA"}), 1, "not the one given");
    expect_exit(run({"trust", "S"}), 1, "no terminal to ask on");
    EXPECT_FALSE(std::filesystem::exists(data() + "/known_hosts"));
    EXPECT_EQ(run({"trust", "S", offered}).status, 0);
    EXPECT_EQ(known_hosts(), sshd.known_hosts_line());
    expect_exit(run({"trust", "S", offered}), 1, "accepted already");
    EXPECT_EQ(run({"sync"}).status, 0);
}

}  // namespace
}  // namespace tovan::test
