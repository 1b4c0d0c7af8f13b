#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "engine/catalog/ChangeMarks.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferLog.h"
#include "engine/curl/InternetSession.h"
#include "engine/sftp/SftpHostKeys.h"
#include "fixtures/SshServer.h"
#include "support/CatalogText.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/ScanRun.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "tovan/Exception.h"

namespace tovan {
namespace {

using test::render;

// A real sshd whose host key the data folder knows; the client key is found
// through HOME, as the user's ~/.ssh is.
class SftpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = test::SshServer::skip_reason(); !why.empty())
            GTEST_SKIP() << why;
        ASSERT_TRUE(sshd.is_running());
        home_.emplace("HOME", sshd.home());
        ::unsetenv("SSH_AUTH_SOCK");
        SftpHostKeys::use_folder(data.path());
        test::write_file(data.file("known_hosts"), sshd.known_hosts_line());
    }
    void TearDown() override { SftpHostKeys::use_folder({}); }

    void write(const std::string& path, const std::string& bytes, std::time_t when) {
        test::write_file_at(served.file(path), bytes, when);
    }
    SharedPtr<Server> server_for(const std::string& password = {}) {
        SharedPtr<Server> server = make_shared<Server>();
        server->set_parent_filter(test::everything());
        server->set_ftp(FtpSettings{"127.0.0.1", "root", password, true, sshd.port()},
                        served.path(), ServerKind::Sftp);
        return server;
    }
    ReachFailure failure_of(const Server& server) {
        ReachFailure failure;
        EXPECT_FALSE(Protocols::connect(server, InternetSession::shared(), &failure));
        return failure;
    }

    test::TempFolder served;
    test::TempFolder data;
    test::SshServer sshd;
    const std::time_t now = std::time(nullptr);

private:
    std::optional<test::ScopedEnvironment> home_;
};

// Links count as the local finder counts them: to a file as the file, to a
// folder or nowhere as an empty file, never followed.
TEST_F(SftpTest, ScanAndRescanMarkWhatChangedAndNothingElse) {
    write("pub/a.txt", "0123456789", now - 3600);
    write("pub/sub/b.txt", "b", now - 3600);
    std::filesystem::create_symlink("a.txt", served.file("pub/to_file"));
    std::filesystem::create_symlink("sub", served.file("pub/to_folder"));
    std::filesystem::create_symlink("/", served.file("pub/to_root"));
    std::filesystem::create_symlink("nowhere", served.file("pub/dangling"));
    const SharedPtr<Server> server = server_for();
    ASSERT_TRUE(test::scan(server)) << server->last_error();
    EXPECT_EQ(render(*server->root()),
              "pub/~(sub/~(b.txt+) a.txt+ dangling+ to_file+ to_folder+ to_root+)");
    EXPECT_EQ(test::entry_at(server->root(), "pub/to_file")->size(), 10u);
    EXPECT_EQ(test::entry_at(server->root(), "pub/a.txt")->time(), now - 3600);
    ChangeMarks::set(*server->root(), EntryState::Unchanged);

    write("pub/a.txt", "0123456789abc", now - 60);
    write("pub/new.txt", "n", now - 60);
    std::filesystem::remove_all(served.file("pub/sub"));
    ASSERT_TRUE(test::scan(server));
    EXPECT_EQ(render(*server->root()),
              "pub/~(sub/-(b.txt-) a.txt* dangling new.txt+ to_file* to_folder to_root)");
}

TEST_F(SftpTest, ARefusedLoginAndAnUnknownOrChangedHostKeyKeepTheServerOffline) {
    const std::string offered = "SHA256:";
    EXPECT_EQ(failure_of(*server_for("not the password")).text(),
              "the login to sftp://root@127.0.0.1:" + std::to_string(sshd.port()) + served.path() +
                  " was refused: check the user name and password (to change "
                  "them, remove the server and add it again)");

    std::filesystem::remove(data.file("known_hosts"));
    const ReachFailure unknown = failure_of(*server_for());
    EXPECT_EQ(unknown.kind, ReachFailure::Kind::HostKeyUnknown);
    ReachFailure ignored;
    EXPECT_EQ(SftpHostKeys::unknown_fingerprint(*server_for(), ignored), unknown.offered_key);
    ASSERT_TRUE(SftpHostKeys::trust(*server_for(), unknown.offered_key, ignored));
    EXPECT_EQ(test::read_file(data.file("known_hosts")), sshd.known_hosts_line());
    EXPECT_TRUE(Protocols::connect(*server_for()));

    sshd.stop();
    ASSERT_TRUE(sshd.start(true));
    const ReachFailure changed = failure_of(*server_for());
    EXPECT_EQ(changed.kind, ReachFailure::Kind::HostKeyChanged);
    EXPECT_EQ(changed.known_key, unknown.offered_key);
    EXPECT_NE(changed.offered_key, unknown.offered_key);
    EXPECT_NE(
        changed.text().find("it was " + changed.known_key + ", it is now " + changed.offered_key),
        std::string::npos);
    // Accepting what was offered before stores nothing.
    EXPECT_FALSE(SftpHostKeys::trust(*server_for(), unknown.offered_key, ignored));
    EXPECT_NE(test::read_file(data.file("known_hosts")), sshd.known_hosts_line());
}

// The server goes while the scan pauses between listings: the folders not
// listed keep their items, nothing is marked deleted.
TEST_F(SftpTest, AConnectionLostMidScanMarksNothingDeleted) {
    for (const char* name : {"a/1", "b/2", "c/3", "d/4"}) write(name, "x", now - 10);
    const SharedPtr<Server> server = server_for();
    ASSERT_TRUE(test::scan(server));
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    const std::string before = render(*server->root());
    server->set_connections_limit(1);
    server->set_delay(300);
    std::thread killer([&] {
        test::wait_until(
            [&] { return server->log_contents().find("logged in") != std::string::npos; },
            std::chrono::seconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        sshd.stop();
    });
    server->clear_log();
    test::scan(server);
    killer.join();
    EXPECT_FALSE(server->last_error().empty());
    EXPECT_EQ(render(*server->root()), before);
}

TEST_F(SftpTest, ADownloadResumesAfterTheConnectionIsKilled) {
    const std::string bytes = test::random_bytes(3'000'000);
    write("big.bin", bytes, now - 10);
    const std::string source = served.file("big.bin");
    const std::string destination = data.file("big.bin.part");
    {
        const SharedPtr<Connection> connection = Protocols::connect(*server_for());
        ASSERT_TRUE(connection);
        const SharedPtr<FileDownloader> downloader = connection->create_downloader();
        downloader->start(source, destination);
        for (int chunk = 0; chunk < 5; ++chunk) downloader->read_chunk(100'000);
        sshd.stop();
        EXPECT_THROW(downloader->read_chunk(100'000), Exception);
    }
    EXPECT_EQ(std::filesystem::file_size(destination), 500'000u);
    ASSERT_TRUE(sshd.start());
    TransferLog log;
    const SharedPtr<FileDownloader> downloader =
        Protocols::connect(*server_for())->create_downloader();
    downloader->set_log(&log);
    std::uint64_t read = 0;
    EXPECT_EQ(test::download(*downloader, source, destination, &read), test::Outcome::Complete);
    EXPECT_EQ(read, bytes.size() - 500'000);
    EXPECT_TRUE(test::read_file(destination) == bytes);
    EXPECT_NE(log.text().find("seek 500000"), std::string::npos) << log.text();
}

}  // namespace
}  // namespace tovan
