#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "engine/catalog/Server.h"
#include "engine/connection/Protocols.h"
#include "engine/smb/NetworkConnection.h"
#include "engine/smb/SharesFinder.h"
#include "engine/smb/SmbCredentials.h"
#include "fixtures/SmbServer.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;
using test::SmbServer;
using test::TempFolder;

constexpr std::int64_t Time = 1600000000;

class NetworkFileFinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string reason = SmbServer::skip_reason(); !reason.empty())
            GTEST_SKIP() << reason;
    }

    void start(const std::vector<SmbServer::Share>& shares) {
        smbd.emplace(shares);
        ASSERT_TRUE(smbd->is_running()) << smbd->log();
    }

    std::string share(const std::string& name) {
        std::filesystem::create_directories(sandbox.file(name));
        return sandbox.file(name);
    }

    void write(const std::string& path, const std::string& bytes) {
        test::write_file_at(sandbox.file(path), bytes, Time);
    }

    void set_time(const std::string& path) { test::set_time(sandbox.file(path), Time); }

    SharedPtr<Entry> host(const std::string& name = {}) {
        SharedPtr<Entry> root = Entry::create_folder("");
        root->set_path("\\\\" + (name.empty() ? smbd->host() : name));
        return root;
    }

    SharedPtr<Entry> folder(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        SharedPtr<Entry> entry = Entry::create_folder(path.substr(slash + 1));
        const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        entry->set_path("\\\\" + smbd->host() + "\\" + parent);
        return entry;
    }

    std::optional<std::string> list(const Entry& folder) {
        NetworkConnection connection;
        return test::list_folder(*connection.create_finder(), folder);
    }

    TempFolder sandbox;
    std::optional<SmbServer> smbd;
};

TEST_F(NetworkFileFinderTest, AHostListsItsDiskSharesOnlyByAddressOrName) {
    start({{"pub", share("pub")},
           {"docs", share("docs")},
           {"vault", share("vault"), "root"},
           {"backup$", share("backup")},
           {"laser", share("spool"), {}, true}});
    EXPECT_EQ(list(*host()), "docs/@0 pub/@0 vault/@0");
    EXPECT_EQ(list(*host("localhost:" + std::to_string(smbd->port()))), "docs/@0 pub/@0 vault/@0");
    EXPECT_EQ(SharesFinder::look_up("localhost").substr(0, 9), "127.0.0.1");
}

TEST_F(NetworkFileFinderTest, AFolderInAShareListsNamesSizesAndTimes) {
    start({{"pub", share("pub")}});
    for (const char* sub : {"pub/docs/sub", "pub/docs/empty"}) {
        std::filesystem::create_directories(sandbox.file(sub));
        set_time(sub);
    }
    write("pub/docs/a.txt", "hello!");
    write("pub/docs/50% off;#1.txt", "x");
    write("pub/docs/\xC3\xA9t\xC3\xA9 #1.txt", "xy");
    write("pub/docs/big.bin", "");  // sparse, beyond 32 bits
    std::filesystem::resize_file(sandbox.file("pub/docs/big.bin"), 5'000'000'000ull);
    set_time("pub/docs/big.bin");

    const std::string t = "@" + std::to_string(Time);
    EXPECT_EQ(list(*folder("pub/docs")), "50% off;#1.txt:1" + t + " a.txt:6" + t +
                                             " big.bin:5000000000" + t + " empty/" + t + " sub/" +
                                             t + " \xC3\xA9t\xC3\xA9 #1.txt:2" + t);
    EXPECT_EQ(list(*folder("pub/docs/empty")), "");
    EXPECT_EQ(list(*folder("pub/docs/missing")), std::nullopt);
    EXPECT_EQ(list(*folder("nope/docs")), std::nullopt);

    NetworkConnection connection;
    const SharedPtr<FileFinder> finder = connection.create_finder();
    EXPECT_EQ(test::list_folder(*finder, *folder("pub/docs/empty")), "");
    set_time("pub/docs");
    EXPECT_EQ(test::list_folder(*finder, *folder("pub")), "docs/" + t);
}

TEST_F(NetworkFileFinderTest, ALoginGivenInALocationIsKeptForItsHostAndUsed) {
    start({{"vault", share("vault"), "root"}});
    ASSERT_TRUE(smbd->add_login("root", "Secret 1"));
    write("vault/key.txt", "k");
    EXPECT_EQ(list(*folder("vault")), std::nullopt);
    TempFolder data;
    SmbCredentials::use_folder(data.path());
    Server server;
    ASSERT_TRUE(server.from_url("smb://WORKGROUP;root:Secret 1@" + smbd->host() + "/vault/"));
    EXPECT_TRUE(Protocols::connect(server));
    EXPECT_EQ(list(*folder("vault")), "key.txt:1@" + std::to_string(Time));
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(data.file(SmbCredentials::FileName)).permissions(),
              perms::owner_read | perms::owner_write);
    SmbCredentials::use_folder({});
}

TEST_F(NetworkFileFinderTest, AHostThatDoesNotAnswerIsOfflineWithinSeconds) {
    start({{"pub", share("pub")}});
    Server server;
    ASSERT_TRUE(server.from_url("smb://" + smbd->host() + "/"));
    EXPECT_TRUE(Protocols::connect(server));

    smbd->pause();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Protocols::connect(server));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);
    smbd->resume();

    ASSERT_TRUE(server.from_url("\\\\127.0.0.1:" + std::to_string(smbd->port() ^ 1) + "\\pub"));
    EXPECT_FALSE(Protocols::connect(server));  // nobody listens

    NetworkConnection connection;
    connection.close();
    EXPECT_EQ(test::list_folder(*connection.create_finder(), *folder("pub")), std::nullopt);
}

}  // namespace
}  // namespace tovan
