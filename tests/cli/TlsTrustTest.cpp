#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliFixture.h"
#include "fixtures/FtpsServer.h"
#include "support/RandomBytes.h"

namespace tovan::test {
namespace {

constexpr const char* Password = "pw-7Hq2x";

// An FTPS server with a self-signed certificate, as home NAS boxes have.
class TlsTrust : public CliFixture {
protected:
    std::string url() const {
        return std::string("ftps://anonymous:") + Password +
               "@127.0.0.1:" + std::to_string(ftps.port()) + "/";
    }
    CliProcess::Result run(const std::vector<std::string>& arguments) const {
        return CliProcess::run(with_data(arguments), {{"XDG_STATE_HOME", sandbox.file("state")}});
    }
    std::string served() const {
        put("a.bin", content);
        return tree();
    }

    const std::string content = random_bytes(300'000);
    FtpsServer ftps{served()};
};

TEST_F(TlsTrust, AnUntrustedCertificateIsNamedThenTrustedByItsFingerprint) {
    ASSERT_EQ(run({"add", url(), "--name", "nas"}).status, 0);
    const CliProcess::Result refused = run({"sync", "nas"});
    expect_exit(refused, 1, "is not trusted (self-signed)");
    EXPECT_NE(refused.err.find(ftps.fingerprint()), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out.find("no changes"), std::string::npos);

    std::string plain = ftps.fingerprint().substr(7);
    std::erase(plain, ':');
    ASSERT_EQ(run({"trust", "nas", plain}).status, 0);
    EXPECT_EQ(std::filesystem::status(data() + "/certificates").permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_NE(run({"sync", "nas"}).out.find("+ nas/a.bin"), std::string::npos);
    ASSERT_EQ(run({"rename", "nas", "box"}).status, 0);
    EXPECT_NE(run({"sync", "box"}).out.find("no changes"), std::string::npos);
    const CliProcess::Result fetched = run({"download", "box/a.bin", "--to", sandbox.file("to")});
    EXPECT_EQ(fetched.status, 0) << fetched.err;
    EXPECT_TRUE(read_file(sandbox.file("to/a.bin")) == content);

    const std::string trusted = ftps.fingerprint();
    ftps.replace_certificate();
    const CliProcess::Result changed = run({"sync", "box"});
    expect_exit(changed, 1, "has changed");
    EXPECT_NE(changed.err.find(trusted), std::string::npos) << changed.err;
    EXPECT_NE(changed.err.find("ferrovane-cli trust box " + ftps.fingerprint()), std::string::npos)
        << changed.err;
    expect_exit(run({"sync", "box", "--trust-certificate", trusted}), 1,
                "not the certificate given");
    EXPECT_EQ(run({"sync", "box", "--trust-certificate", ftps.fingerprint()}).status, 0);

    // Nothing but the server's record holds the password: no log, message or transfer log.
    run({"status"});
    run({"export", "box", sandbox.file("box.srv")});
    for (const auto& file : std::filesystem::recursive_directory_iterator(sandbox.path())) {
        const bool data_file =
            file.path().parent_path() == data() && file.path().extension() == ".dat";
        if (!file.is_regular_file() || data_file || file.path().filename() == "box.srv")
            continue;
        EXPECT_EQ(read_file(file.path().string()).find(Password), std::string::npos) << file.path();
    }
}

TEST_F(TlsTrust, ACaFileVouchesForTheServer) {
    expect_exit(run({"add", url(), "--name", "nas", "--ca-file", sandbox.file("none.pem")}), 1,
                "does not exist");
    ASSERT_EQ(run({"add", url(), "--name", "nas", "--ca-file", ftps.certificate()}).status, 0);
    EXPECT_NE(run({"sync", "nas"}).out.find("+ nas/a.bin"), std::string::npos);
    expect_exit(run({"trust", "nas", "SHA256:12:34"}), 2, "no SHA-256 fingerprint");
}

}  // namespace
}  // namespace tovan::test
