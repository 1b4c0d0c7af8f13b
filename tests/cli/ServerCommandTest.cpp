#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <tuple>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"
#include "fixtures/HttpServer.h"
#include "fixtures/SmbServer.h"
#include "support/RandomBytes.h"

namespace tovan::test {
namespace {

using DownloadCommand = CliFixture;

std::string url_of(const HttpServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port()) + path;
}

// The transfer breaks off and the user stops the waiting job with Ctrl+C: the
// job is paused and saved, and the command fails.
TEST_F(DownloadCommand, CtrlCPausesAndKeepsTheJobAndFails) {
    put("files/big.bin", random_bytes(1 << 20));
    const HttpServer server({.root = tree() + "/files", .cut_after = 300000});

    CliProcess download(
        with_data({"download", url_of(server, "/big.bin"), "--to", sandbox.file("out")}));
    ASSERT_TRUE(download.wait_for_err("trying again in")) << download.finish().err;
    download.signal(SIGINT);
    expect_exit(download.finish(), 1, "paused job 1");
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "paused");
}

// Regressions: a file the server did not have ended as complete with nothing
// copied, and a name the file system refuses was tried again every 30 s for
// ever. A long name that still fits must not be refused for its part file.
TEST_F(DownloadCommand, AJobThatCannotGetItsFilesFailsWithOneLine) {
    const std::string fits = std::string(250, 'f'), too_long = std::string(10000, 'n');
    put("files/" + fits, "fits");
    const HttpServer server({.root = tree() + "/files", .statuses = {{200, "/" + too_long}}});
    const std::string missing_says =
        "1 of 1 files of job 2 (missing.bin) could not be downloaded: HTTP/1.1 404 Not Found";
    // The URL, the exit status, what it says and the job's state after.
    for (const auto& [url, status, says, state] :
         std::vector<std::tuple<std::string, int, std::string, std::string>>{
             {url_of(server, "/" + fits), 0, "", "complete"},
             {url_of(server, "/missing.bin"), 1, missing_says, "failed"},
             {url_of(server, "/" + too_long), 1, "File name too long", "failed"},
             {"http://no-such-host.invalid/a.bin", 1,
              "gave up after 1 try: the host name no-such-host.invalid does not resolve", "paused"},
         }) {
        expect_exit(cli({"download", url, "--to", sandbox.file("out"), "--tries", "1"}), status,
                    says);
        EXPECT_EQ(json({"jobs"}).back()["state"], state) << url.substr(0, 40);
    }
    EXPECT_EQ(read_file(sandbox.file("out/" + fits)), "fits");
}

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
    EXPECT_NE(ok({"sync", "V"}).find("+ V/key.txt  1 Bytes  "), std::string::npos);
}

// The URL's port, IPv6 host and escaped login reach the server, and the
// password stays out of what is printed. Once the server is gone, a search of
// the servers online leaves it out.
TEST_F(SyncCommand, ReachesAnFtpServerAtTheHostAndPortItsUrlNames) {
    put("pub/deep/b.txt", "there");
    std::optional<FtpServer> server(
        FtpServer::Options{.root = tree(), .host = "::1", .user = "us@r", .password = "se:cret"});
    const std::string host = "[::1]:" + std::to_string(server->port());
    ok({"add", "ftp://us%40r:se%3Acret@" + host + "/pub/", "--name", "F"});
    ok({"sync"});
    const nlohmann::json listed = json({"list"}).at(0);
    EXPECT_EQ(listed["url"], "ftp://us%40r@" + host + "/pub/");
    EXPECT_EQ(listed["files"], 1);

    server.reset();
    EXPECT_EQ(json({"search", "b.txt"}).size(), 1u);
    EXPECT_EQ(cli({"search", "b.txt", "--online"}).status, 1);
}

}  // namespace
}  // namespace tovan::test
