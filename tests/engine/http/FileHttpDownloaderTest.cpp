#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "engine/connection/FileDownloader.h"
#include "engine/connection/TransferLog.h"
#include "engine/curl/InternetSession.h"
#include "engine/http/HttpConnection.h"
#include "fixtures/HttpServer.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/Exception.h"
#include "tovan/log/FailureRecord.h"

namespace tovan {
namespace {

using test::download;
using test::HttpServer;
using test::Outcome;
using test::random_bytes;
using test::read_file;
using test::write_file;

class FileHttpDownloaderTest : public ::testing::Test {
protected:
    void serve(HttpServer::Options options) {
        write_file(served.file("a.bin"), content);
        options.root = served.path();
        server = std::make_unique<HttpServer>(options);
        connection =
            tovan::make_shared<HttpConnection>(session, "127.0.0.1", server->port(), options.tls);
        downloader = connection->create_downloader();
        downloader->set_log(&log);
    }
    bool logged(const std::string& text) const {
        return log.text().find(text) != std::string::npos;
    }
    std::string destination() const { return local.file("copy.bin"); }

    const std::string content = random_bytes(1'000'003, 7);
    InternetSession session;
    test::TempFolder served;
    test::TempFolder local;
    std::unique_ptr<HttpServer> server;
    SharedPtr<HttpConnection> connection;
    SharedPtr<FileDownloader> downloader;
    TransferLog log;
};

TEST_F(FileHttpDownloaderTest, DownloadsAFileAndLogsEveryStepAndAnswer) {
    serve({});
    EXPECT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_EQ(downloader->size(), content.size());
    EXPECT_EQ(downloader->position(), content.size());
    const std::string request = "GET http://127.0.0.1:" + std::to_string(server->port()) + "/a.bin";
    for (const std::string& text :
         {request, std::string("status 200"), std::string("size 1000003 bytes"),
          std::string("HTTP/1.1 200 OK"), std::string("Content-Length: 1000003")})
        EXPECT_TRUE(logged(text)) << text;

    // Already whole: complete at start, nothing read.
    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read, 0u);
}

TEST_F(FileHttpDownloaderTest, ACutTransferFailsAndTheNextTryFetchesOnlyTheMissingBytes) {
    serve({.cut_after = 450'000});
    try {
        download(*downloader, "/a.bin", destination());
        FAIL() << "a cut transfer ended as if complete";
    } catch (const Exception& failure) {
        EXPECT_STREQ(failure.what(), "Transfer error while not end of file");
        EXPECT_NE(std::string(FailureRecord::last_location().function_name()).find("read_body"),
                  std::string::npos);
    }
    downloader->stop();
    const std::uint64_t kept = std::filesystem::file_size(destination());
    ASSERT_GT(kept, 0u);
    ASSERT_LE(kept, 450'000u);

    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_EQ(read, content.size() - kept);
    const HttpServer::Answer last = server->answers().back();
    EXPECT_EQ(last.status, 206);
    EXPECT_EQ(last.first, kept);
    EXPECT_EQ(last.bytes, content.size() - kept);
    EXPECT_TRUE(logged("Range: bytes=" + std::to_string(kept) + "-")) << log.text();
    EXPECT_TRUE(logged("status 206"));
}

// A server that goes silent within the body is a lost connection once the
// stall time has passed, not a wait for ever; the next try resumes.
TEST_F(FileHttpDownloaderTest, ABodyThatStallsFailsWithinItsStallTimeAndResumesLater) {
    serve({.stall_after = 300'000});
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_THROW(download(*downloader, "/a.bin", destination()), Exception);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(30));
    downloader->stop();
    const std::uint64_t kept = std::filesystem::file_size(destination());
    ASSERT_GT(kept, 0u);
    ASSERT_LE(kept, 300'000u);

    EXPECT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_EQ(server->answers().back().first, kept);
}

// A job paused within a file stops before its next chunk, and on resuming
// continues where the destination ends, over the same connection.
TEST_F(FileHttpDownloaderTest, AStopWithinAFileTakesEffectAtOnceAndTheFileResumesLater) {
    serve({});
    downloader->start("/a.bin", destination());
    ASSERT_EQ(downloader->read_chunk(100'000), 100'000);
    downloader->stop();
    EXPECT_EQ(downloader->read_chunk(100'000), 0);
    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read, content.size() - 100'000);
    EXPECT_EQ(read_file(destination()), content);
}

// A server that answers a range with anything but 206 from the asked offset
// sends the file from its start, which must replace the partial destination.
TEST_F(FileHttpDownloaderTest, ARangeIgnoredOrMisplacedStartsTheFileOver) {
    for (const bool wrong_range : {false, true}) {
        SCOPED_TRACE(wrong_range ? "206 from byte 0" : "200");
        serve({.ignore_range = !wrong_range, .wrong_range = wrong_range});
        write_file(destination(), std::string(300'000, 'x'));
        std::uint64_t read = 0;
        EXPECT_EQ(download(*downloader, "/a.bin", destination(), &read), Outcome::Complete);
        EXPECT_EQ(read, content.size());
        EXPECT_EQ(read_file(destination()), content);
    }
}

TEST_F(FileHttpDownloaderTest, WithoutContentLengthTheEndOfTheAnswerEndsTheFile) {
    serve({.no_length = true});
    write_file(destination(), content.substr(0, 1000));  // nothing to compare with: written anew
    EXPECT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(downloader->size(), 0u);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_TRUE(logged("size unknown"));
}

// A missing file is left out of the job; found must not carry over from the
// file before it, or the job would complete an empty file.
TEST_F(FileHttpDownloaderTest, AMissingFileIsDroppedEvenAfterAFoundOne) {
    serve({});
    ASSERT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(download(*downloader, "/missing.bin", local.file("missing.bin")), Outcome::Dropped);
    EXPECT_FALSE(downloader->is_found());
    EXPECT_FALSE(std::filesystem::exists(local.file("missing.bin")));
    EXPECT_TRUE(logged("status 404"));
    EXPECT_EQ(downloader->refusal(), "HTTP/1.1 404 Not Found");
}

// Regression: a 500 or 503 used to end as a complete empty file.
TEST_F(FileHttpDownloaderTest, AServerErrorRaisesSoTheJobTriesAgain) {
    serve({.statuses = {{500, "/a.bin"}, {503, "/b.bin"}}});
    for (const char* source : {"/a.bin", "/b.bin"}) {
        SCOPED_TRACE(source);
        try {
            download(*downloader, source, destination());
            FAIL() << "a server error ended as a result";
        } catch (const Exception& failure) {
            EXPECT_TRUE(std::string(failure.what()).starts_with("can't open file: HTTP/1."))
                << failure.what();
        }
        EXPECT_TRUE(downloader->is_found());
        EXPECT_FALSE(std::filesystem::exists(destination()));
    }
    EXPECT_TRUE(logged("status 500"));
    EXPECT_TRUE(logged("status 503"));
}

TEST_F(FileHttpDownloaderTest, AnUntrustedCertificateFailsWithCurlsReasonInTheLog) {
    serve({.tls = true});
    EXPECT_THROW(download(*downloader, "/a.bin", destination()), Exception);
    EXPECT_TRUE(logged("certificate")) << log.text();
    EXPECT_FALSE(std::filesystem::exists(destination()));
}

}  // namespace
}  // namespace tovan
