#include <gtest/gtest.h>

#include <filesystem>

#include "engine/catalog/Server.h"
#include "engine/connection/FileDownloader.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferLog.h"
#include "engine/curl/InternetSession.h"
#include "engine/ftp/FtpConnection.h"
#include "fixtures/FtpServer.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/Exception.h"

namespace tovan {
namespace {

using test::download;
using test::FtpServer;
using test::Outcome;
using test::random_bytes;
using test::read_file;
using test::write_file;

class FileFtpDownloaderTest : public ::testing::Test {
protected:
    void serve(FtpServer::Options options = {}) {
        std::filesystem::create_directory(served.file("pub"));
        write_file(served.file("pub/a.bin"), content);
        options.root = served.path();
        ftp = std::make_unique<FtpServer>(options);
        FtpSettings settings;
        settings.host = "127.0.0.1";
        settings.port = ftp->port();
        server.set_ftp(settings, "/");
        connection = Protocols::connect(server, session);
        ASSERT_TRUE(connection);
        downloader = connection->create_downloader();
        downloader->set_log(&log);
    }
    bool logged(const std::string& text) const {
        return log.text().find(text) != std::string::npos;
    }
    std::string destination() const { return local.file("copy.bin"); }

    const std::string content = random_bytes(1'000'003, 9);
    InternetSession session;
    test::TempFolder served;
    test::TempFolder local;
    std::unique_ptr<FtpServer> ftp;
    Server server;
    SharedPtr<Connection> connection;
    SharedPtr<FileDownloader> downloader;
    TransferLog log;
};

TEST_F(FileFtpDownloaderTest, DownloadsAFileAndLogsEveryStepAndAnswer) {
    serve();
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_EQ(downloader->size(), content.size());
    for (const char* text : {"SIZE /pub/a.bin", "213 1000003", "Open file: /pub/a.bin", "226 "})
        EXPECT_TRUE(logged(text)) << text;
    EXPECT_FALSE(logged("REST"));
    EXPECT_FALSE(logged("Set directory"));
}

TEST_F(FileFtpDownloaderTest, ResumesByRestFetchingOnlyTheMissingBytes) {
    serve();
    write_file(destination(), content.substr(0, 600'000));
    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read, content.size() - 600'000);
    EXPECT_EQ(read_file(destination()), content);
    EXPECT_TRUE(logged("REST 600000"));
    EXPECT_TRUE(logged("350 "));
}

// A job paused within a file stops before its next chunk, and on resuming
// continues where the destination ends, over the same connection.
TEST_F(FileFtpDownloaderTest, AStopWithinAFileTakesEffectAtOnceAndTheFileResumesLater) {
    serve();
    downloader->start("/pub/a.bin", destination());
    ASSERT_EQ(downloader->read_chunk(100'000), 100'000);
    downloader->stop();
    EXPECT_EQ(downloader->read_chunk(100'000), 0);
    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read, content.size() - 100'000);
    EXPECT_EQ(read_file(destination()), content);
}

TEST_F(FileFtpDownloaderTest, AServerRefusingRestSendsTheWholeFileIntoAnEmptiedDestination) {
    FtpServer::Options options;
    options.rest = false;
    serve(options);
    write_file(destination(), std::string(600'000, 'x'));
    std::uint64_t read = 0;
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination(), &read), Outcome::Complete);
    EXPECT_EQ(read, content.size());
    EXPECT_EQ(read_file(destination()), content);
}

TEST_F(FileFtpDownloaderTest, ACompleteDestinationNeverOpensTheRemoteFile) {
    serve();
    write_file(destination(), content);
    downloader->start("/pub/a.bin", destination());
    EXPECT_TRUE(downloader->complete());
    EXPECT_TRUE(logged("SIZE /pub/a.bin"));
    EXPECT_FALSE(logged("Open file"));
    EXPECT_FALSE(logged("226 "));
}

TEST_F(FileFtpDownloaderTest, WithoutSizeTheFolderListingGivesTheSize) {
    FtpServer::Options options;
    options.size = false;
    serve(options);
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(downloader->size(), content.size());
    EXPECT_EQ(read_file(destination()), content);
    for (const char* text :
         {"Set directory /pub/", "Search file in directory", "File found", "TYPE I"})
        EXPECT_TRUE(logged(text)) << text;
}

TEST_F(FileFtpDownloaderTest, AMissingFileIsDroppedWithTheServersAnswerInTheLog) {
    serve();
    ASSERT_EQ(download(*downloader, "/pub/a.bin", destination()), Outcome::Complete);
    EXPECT_EQ(download(*downloader, "/pub/missing.bin", local.file("missing.bin")),
              Outcome::Dropped);
    EXPECT_FALSE(downloader->is_found());
    EXPECT_TRUE(logged("550 ")) << log.text();
}

// Regression: a fetch refused after SIZE found the file used to end as a
// complete empty file. A 550 means the file is gone: dropped; any other
// refusal is tried again later.
TEST_F(FileFtpDownloaderTest, AFetchRefusedAfterSizeFoundTheFileIsDroppedOrRaises) {
    FtpServer::Options options;
    options.gone = {"a.bin"};
    options.busy = {"b.bin"};
    serve(options);
    write_file(served.file("pub/b.bin"), "bytes");
    EXPECT_EQ(download(*downloader, "/pub/a.bin", destination()), Outcome::Dropped);
    EXPECT_TRUE(logged("550 No such file"));
    try {
        download(*downloader, "/pub/b.bin", destination());
        FAIL() << "a refused fetch ended as a result";
    } catch (const Exception& failure) {
        EXPECT_STREQ(failure.what(), "can't open file");
    }
    EXPECT_TRUE(downloader->is_found());
    EXPECT_TRUE(logged("450 "));
}

}  // namespace
}  // namespace tovan
