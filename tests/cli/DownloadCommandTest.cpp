#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "cli/CliFixture.h"
#include "fixtures/HttpServer.h"

namespace tovan::test {
namespace {

using DownloadCommand = CliFixture;

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; ++at)
        bytes[at] = static_cast<char>((at * 131 + at / 251) & 0xFF);
    return bytes;
}

std::string url_of(const HttpServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port()) + path;
}

// The transfer breaks off, the user stops the waiting job with Ctrl+C (the job
// is paused and saved) or kills it, and a later run goes on from the bytes
// already there.
class InterruptedDownload : public CliFixture, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedDownload, ResumesWhereItStopped) {
    const std::string content = pattern(1 << 20);
    put("files/big.bin", content);
    HttpServer::Options options;
    options.root = tree() + "/files";
    options.cut_after = 300000;
    const HttpServer server(options);

    CliProcess download(
        with_data({"download", url_of(server, "/big.bin"), "--to", sandbox.file("out")}));
    ASSERT_TRUE(download.wait_for_err("trying again in")) << download.finish().err;
    download.signal(GetParam());
    const CliProcess::Result interrupted = download.finish();
    if (GetParam() == SIGINT) {
        EXPECT_EQ(interrupted.status, 1);
        EXPECT_NE(interrupted.err.find("paused job 1"), std::string::npos) << interrupted.err;
    }
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "paused");

    ok({"jobs", "resume", "1"});
    EXPECT_TRUE(read_file(sandbox.file("out/big.bin")) == content);
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "complete");
    EXPECT_GT(server.answers().back().first, 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sandbox.file("out")), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(BySignal, InterruptedDownload, ::testing::Values(SIGINT, SIGKILL));

// Regression: a smaller file of the same name was appended to as if it were a
// partial download, and the command reported success.
TEST_F(DownloadCommand, AFileAlreadyThereIsLeftAloneAndTheDownloadTakesAFreeName) {
    const std::string content = pattern(100000);
    put("files/big.bin", content);
    put("out/big.bin", "not from this job");
    HttpServer::Options options;
    options.root = tree() + "/files";
    const HttpServer server(options);
    const CliProcess::Result result =
        cli({"download", url_of(server, "/big.bin"), "--to", tree() + "/out"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(read_file(tree() + "/out/big.bin") == "not from this job");
    EXPECT_TRUE(read_file(tree() + "/out/big (1).bin") == content);
    EXPECT_NE(result.out.find("big (1).bin"), std::string::npos) << result.out;
}

// A regression: a job whose only file the server did not have ended as complete
// with nothing copied, and the command reported it downloaded.
TEST_F(DownloadCommand, AFileTheServerDoesNotHaveIsAFailure) {
    HttpServer::Options options;
    options.root = sandbox.path();
    const HttpServer server(options);
    const CliProcess::Result result =
        cli({"download", url_of(server, "/missing.bin"), "--to", sandbox.file("out")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(
        result.err.find("1 of 1 files of job 1 (missing.bin) could not be downloaded: HTTP/1."),
        std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(" 404"), std::string::npos) << result.err;
    const nlohmann::json job = json({"jobs"}).at(0);
    EXPECT_EQ(job["state"], "failed");
    EXPECT_EQ(job["files"], 1);
    EXPECT_EQ(job["failure"], "HTTP/1.1 404 Not Found");
    EXPECT_NE(ok({"jobs"}).find("failed: HTTP/1.1 404 Not Found"), std::string::npos);
}

// Regression: a name the file system refuses was tried again every 30 s for
// ever. A long name that still fits must not be refused for its part file.
TEST_F(DownloadCommand, ANameTheFileSystemRefusesIsLeftOutAndOneThatFitsIsKept) {
    const std::string fits = std::string(250, 'f');
    put("files/" + fits, "fits");
    const std::string too_long = std::string(10000, 'n');
    HttpServer::Options options;
    options.root = tree() + "/files";
    options.statuses = {{200, "/" + too_long}};
    const HttpServer server(options);

    ok({"download", url_of(server, "/" + fits), "--to", sandbox.file("out")});
    EXPECT_EQ(read_file(sandbox.file("out/" + fits)), "fits");
    const CliProcess::Result refused =
        cli({"download", url_of(server, "/" + too_long), "--to", sandbox.file("out")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("File name too long"), std::string::npos) << refused.err;
    EXPECT_EQ(json({"jobs"}).at(1)["state"], "failed");
}

// A host that does not resolve: the command line gives up after its tries.
TEST_F(DownloadCommand, GivesUpOnAHostThatDoesNotResolveAfterItsTries) {
    const CliProcess::Result result = cli({"download", "http://no-such-host.invalid/a.bin", "--to",
                                           sandbox.file("out"), "--tries", "1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("gave up after 1 try"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("no-such-host.invalid"), std::string::npos) << result.err;
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "paused");
}

TEST_F(DownloadCommand, CopiesTheChangedFilesOfACatalogFolder) {
    put("docs/old.txt", "old");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    ok({"unmark", "T"});
    put("docs/new.txt", "new");
    ok({"sync"});

    ok({"download", "T/docs", "--changed", "--to", sandbox.file("out")});
    EXPECT_EQ(read_file(sandbox.file("out/docs/new.txt")), "new");
    EXPECT_FALSE(std::filesystem::exists(sandbox.file("out/docs/old.txt")));
}

}  // namespace
}  // namespace tovan::test
