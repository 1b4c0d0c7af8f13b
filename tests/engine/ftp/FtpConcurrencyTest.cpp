#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "engine/catalog/ChangeMarks.h"
#include "engine/curl/InternetSession.h"
#include "fixtures/FtpServer.h"
#include "support/CatalogText.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::render;

class FtpScanTest : public ::testing::Test {
protected:
    void write(const std::string& path, const std::string& bytes, std::time_t when) {
        test::write_file_at(folder.file(path), bytes, when);
    }

    SharedPtr<Server> server_for(const test::FtpServer& ftp, const std::string& login = {},
                                 const std::string& password = {}) {
        SharedPtr<Server> server = make_shared<Server>();
        server->set_parent_filter(test::everything());
        server->set_ftp(FtpSettings{"127.0.0.1", login, password, true, ftp.port()}, "/");
        return server;
    }

    static SharedPtr<Server> scan(const SharedPtr<Server>& server) {
        const bool online = test::scan(server);
        server->set_last_error(server->last_error() + (online ? "" : "<offline>"));
        return server;
    }

    test::FtpServer::Options serving(test::FtpServer::Options options = {}) const {
        options.root = folder.path();
        return options;
    }

    test::TempFolder folder;
    const std::time_t now = std::time(nullptr);
};

class FtpListings : public FtpScanTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FtpListings, ScanAndRescanMarkWhatChangedAndNothingElse) {
    write("pub/a.txt", "0123456789", now - 3600);
    write("pub/sub/b.txt", "b", now - 3600);
    write("pub/with space é.txt", "s", now - 3600);
    write("old.txt", "o", 1'600'000'000);  // a date-only LIST line
    const test::FtpServer ftp(serving({.mlsd = GetParam()}));
    const SharedPtr<Server> server = scan(server_for(ftp));
    EXPECT_EQ(render(*server->root()), "pub/~(sub/~(b.txt+) a.txt+ with space é.txt+) old.txt");
    const std::int64_t old_time = server->root()->find_child("old.txt")->time();
    EXPECT_TRUE(!GetParam() || old_time == 1'600'000'000) << old_time;
    ChangeMarks::set(*server->root(), EntryState::Unchanged);

    write("pub/a.txt", "0123456789abc", now - 60);
    write("pub/new.txt", "n", now - 60);
    std::filesystem::remove_all(folder.file("pub/sub"));
    scan(server);
    EXPECT_EQ(render(*server->root()),
              "pub/~(sub/-(b.txt-) a.txt* new.txt+ with space é.txt) old.txt");
    EXPECT_EQ(server->root()->find_child("old.txt")->time(), old_time);
}

INSTANTIATE_TEST_SUITE_P(MlsdAndList, FtpListings, ::testing::Bool());

TEST_F(FtpScanTest, LogsInWithAPasswordAndIsOfflineWithAWrongOne) {
    write("f", "f", now - 10);
    const test::FtpServer ftp(serving({.user = "scanner", .password = "s3cret"}));
    EXPECT_EQ(render(*scan(server_for(ftp, "scanner", "s3cret"))->root()), "f+");
    const SharedPtr<Server> wrong = scan(server_for(ftp, "scanner", "guess"));
    EXPECT_TRUE(wrong->last_error().starts_with("the login to ftp://scanner@127.0.0.1:"))
        << wrong->last_error();
    EXPECT_TRUE(wrong->last_error().ends_with("<offline>"));
    EXPECT_NE(wrong->log_contents().find("530"), std::string::npos);
    const SharedPtr<Server> tls = server_for(ftp, "scanner", "s3cret");
    tls->set_ftp(tls->ftp(), "/", ServerKind::Ftps);
    scan(tls);
    // libcurl's own words stay in the server's log.
    EXPECT_NE(tls->last_error().find(" refused TLS: check that the server offers FTPS"),
              std::string::npos)
        << tls->last_error();
    EXPECT_NE(tls->log_contents().find("Requested SSL level failed"), std::string::npos);
    EXPECT_TRUE(tls->last_error().ends_with("<offline>"));
}

// A denied folder keeps the connection (one login); a lost one (on listing 3)
// loses that folder and reconnects.
TEST_F(FtpScanTest, AFolderThatFailsIsReportedAndTheScanGoesOn) {
    for (const char* name : {"a/1", "b/2", "c/3"}) write(name, "x", now - 10);
    const std::pair<test::FtpServer::Options, std::string> cases[] = {
        {{.deny = {"b"}},
         "the folder /b of 127.0.0.1 may not be read: check its permissions for this user"},
        {{.drop_on_list = 3}, "disconnected"},
    };
    for (const auto& [options, error] : cases) {
        const test::FtpServer ftp(serving(options));
        const SharedPtr<Server> server = scan(server_for(ftp));
        EXPECT_EQ(server->last_error(), error);
        EXPECT_EQ(render(*server->root()), "a/~(1+) b/ c/~(3+)");
        const std::string log = server->log_contents();
        // Passive port numbers may hold "230" too; only the login reply counts.
        const std::size_t login = log.find("\n230 ");
        EXPECT_TRUE(options.drop_on_list != 0 ||
                    (login != std::string::npos && login == log.rfind("\n230 ")));
    }
}

// A few bytes a second: fails once the stall time passes, marks nothing deleted.
TEST_F(FtpScanTest, ATricklingListingFailsAsALostConnectionAndTheFolderKeepsItsItems) {
    for (int i = 0; i < 200; ++i) write("f" + std::to_string(i), "f", now - 10);
    const SharedPtr<Server> server = scan(server_for(test::FtpServer(serving())));
    const std::string before = render(*server->root());
    std::filesystem::remove(folder.file("f0"));
    const test::FtpServer slow(serving({.trickle = 64}));
    server->set_ftp(FtpSettings{"127.0.0.1", {}, {}, true, slow.port()}, "/");
    InternetSession::shared().set_stall_seconds(2);
    scan(server);
    InternetSession::shared().set_stall_seconds(60);
    EXPECT_EQ(server->last_error(), "disconnected<offline>");
    EXPECT_EQ(render(*server->root()), before);
}

// An hour ago as the server prints it.
std::string listed_hour_ago(const char* format) {
    const std::time_t when = std::time(nullptr) - 3600;
    std::tm utc;
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, format, &utc);
    return text;
}

// A LIST-only server changes its format (from the day alone to the minute) between two scans
// and sends a line nobody can read: the entry behind that line stays as it was, and the scan
// says why. Once every line reads
// again, a file that really went is marked deleted.
TEST_F(FtpScanTest, AnUnreadableLineOrAFormatChangeMarksNothingDeleted) {
    const test::TempFolder listings;
    const std::string canned = listings.file("LIST");
    const std::string unix_day = listed_hour_ago("%Y-%m-%d");
    const std::string windows_time = listed_hour_ago("%m-%d-%y  %I:%M%p");
    test::write_file(canned, "-rw-r--r-- 1 u g 10 " + unix_day + " a.txt\r\n" +
                                 "-rw-r--r-- 1 u g 20 " + unix_day + " b.txt\r\n");
    const test::FtpServer ftp(serving({.mlsd = false, .canned_list = canned}));
    const SharedPtr<Server> server = scan(server_for(ftp));
    EXPECT_EQ(render(*server->root()), "a.txt+ b.txt+");
    ChangeMarks::set(*server->root(), EntryState::Unchanged);

    test::write_file(canned, windows_time + "                10 a.txt\r\n" +
                                 "b.txt: garbled beyond reading\r\n");
    scan(server);
    EXPECT_EQ(render(*server->root()), "a.txt b.txt");
    EXPECT_EQ(server->last_error(),
              "the listing of / was partly unreadable (1 line, see the server's log); entries "
              "it did not show were kept");
    EXPECT_NE(server->log_contents().find("b.txt: garbled beyond reading"), std::string::npos);

    test::write_file(canned, windows_time + "                10 a.txt\r\n");
    scan(server);
    EXPECT_EQ(render(*server->root()), "a.txt b.txt-");
    EXPECT_EQ(server->last_error(), "");
}

TEST_F(FtpScanTest, AutomaticModeKeepsTheTwoConnectionsAServerAccepts) {
    for (int i = 0; i < 40; ++i) write("d" + std::to_string(i) + "/f", "f", now - 10);
    const test::FtpServer ftp(serving({.max_connections = 2}));
    const SharedPtr<Server> server = server_for(ftp);
    server->set_connections_limit(0);
    scan(server);
    EXPECT_EQ(server->last_error(), "");
    CatalogStats stats;
    server->statistics(stats);
    EXPECT_EQ(stats.files, 40u);
}

}  // namespace
}  // namespace tovan
