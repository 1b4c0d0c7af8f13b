#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

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

// The transfer breaks off, the user stops the waiting job with Ctrl+C, and a
// later run goes on from the bytes already there.
TEST_F(DownloadCommand, InterruptedJobIsSavedAndResumesWhereItStopped) {
    const std::string content = pattern(1 << 20);
    put("files/big.bin", content);
    HttpServer::Options options;
    options.root = tree() + "/files";
    options.cut_after = 300000;
    const HttpServer server(options);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/big.bin";

    CliProcess download(with_data({"download", url, "--to", sandbox.file("out")}));
    ASSERT_TRUE(download.wait_for_err("trying again in")) << download.finish().err;
    download.signal(SIGINT);
    const CliProcess::Result interrupted = download.finish();
    EXPECT_EQ(interrupted.status, 1);
    EXPECT_NE(interrupted.err.find("paused job 1"), std::string::npos) << interrupted.err;
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "paused");

    ok({"jobs", "resume", "1"});
    EXPECT_EQ(read_file(sandbox.file("out/big.bin")), content);
    EXPECT_EQ(json({"jobs"}).at(0)["state"], "complete");
    EXPECT_GT(server.answers().back().first, 0u);
}

// A regression: a job whose only file the server did not have ended as complete
// with nothing copied, and the command reported it downloaded.
TEST_F(DownloadCommand, AFileTheServerDoesNotHaveIsAFailure) {
    HttpServer::Options options;
    options.root = sandbox.path();
    const HttpServer server(options);
    const CliProcess::Result result =
        cli({"download", "http://127.0.0.1:" + std::to_string(server.port()) + "/missing.bin",
             "--to", sandbox.file("out")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(
        result.err.find("1 of 1 files of job 1 (missing.bin) could not be downloaded: HTTP/1."),
        std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(" 404"), std::string::npos) << result.err;
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
