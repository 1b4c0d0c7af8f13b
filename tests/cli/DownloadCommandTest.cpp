#include <gtest/gtest.h>

#include <csignal>

#include "cli/CliFixture.h"
#include "fixtures/HttpServer.h"
#include "support/RandomBytes.h"

namespace tovan::test {
namespace {

using DownloadCommand = CliFixture;

std::string url_of(const HttpServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port()) + path;
}

// The transfer breaks off and the user stops the waiting job with Ctrl+C: the
// job is paused and saved, and the command fails. (Resuming a stored job is the
// download list's.)
TEST_F(DownloadCommand, CtrlCPausesAndKeepsTheJobAndFails) {
    put("files/big.bin", random_bytes(1 << 20));
    HttpServer::Options options;
    options.root = tree() + "/files";
    options.cut_after = 300000;
    const HttpServer server(options);

    CliProcess download(
        with_data({"download", url_of(server, "/big.bin"), "--to", sandbox.file("out")}));
    ASSERT_TRUE(download.wait_for_err("trying again in")) << download.finish().err;
    download.signal(SIGINT);
    const CliProcess::Result interrupted = download.finish();
    EXPECT_EQ(interrupted.status, 1);
    EXPECT_NE(interrupted.err.find("paused job 1"), std::string::npos) << interrupted.err;
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "paused");
}

struct Case {
    std::string url;
    int status;
    std::string says;
    std::string state;
};

// Regressions: a file the server did not have ended as complete with nothing
// copied, and a name the file system refuses was tried again every 30 s for
// ever. A long name that still fits must not be refused for its part file.
TEST_F(DownloadCommand, AJobThatCannotGetItsFilesFailsWithOneLine) {
    const std::string fits = std::string(250, 'f'), too_long = std::string(10000, 'n');
    put("files/" + fits, "fits");
    HttpServer::Options options;
    options.root = tree() + "/files";
    options.statuses = {{200, "/" + too_long}};
    const HttpServer server(options);
    const std::string missing_says =
        "1 of 1 files of job 2 (missing.bin) could not be downloaded: HTTP/1.1 404 Not Found";
    for (const Case& each : std::vector<Case>{
             {url_of(server, "/" + fits), 0, "", "complete"},
             {url_of(server, "/missing.bin"), 1, missing_says, "failed"},
             {url_of(server, "/" + too_long), 1, "File name too long", "failed"},
             {"http://no-such-host.invalid/a.bin", 1, "gave up after 1 try", "paused"},
         }) {
        const CliProcess::Result result =
            cli({"download", each.url, "--to", sandbox.file("out"), "--tries", "1"});
        EXPECT_EQ(result.status, each.status) << result.err;
        EXPECT_NE(result.err.find(each.says), std::string::npos) << result.err;
        EXPECT_EQ(json({"jobs"}).back()["state"], each.state) << each.url.substr(0, 40);
    }
    EXPECT_EQ(read_file(sandbox.file("out/" + fits)), "fits");
}

}  // namespace
}  // namespace tovan::test
