#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/catalog/Server.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferLog.h"
#include "engine/curl/InternetSession.h"
#include "engine/http/HttpConnection.h"
#include "engine/local/FileLocalDownloader.h"
#include "fixtures/FtpServer.h"
#include "fixtures/HttpServer.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/Exception.h"
#include "tovan/log/FailureRecord.h"

namespace tovan {
namespace {

using test::download;
using test::FtpServer;
using test::HttpServer;
using test::Outcome;
using test::read_file;
using test::write_file;

// Each kind serves the folder `served` holds, with a.bin in it, and makes the
// downloader that fetches from there.
struct Local {
    using Options = int;
    Local(const test::TempFolder& served, Options) : root(served.path()) {}
    SharedPtr<FileDownloader> make() { return tovan::make_shared<FileLocalDownloader>(); }
    std::string source(const std::string& name) const { return root + "/" + name; }
    std::string root;
};

struct Ftp {
    using Options = FtpServer::Options;
    Ftp(const test::TempFolder& served, Options options) {
        options.root = served.path();
        server = std::make_unique<FtpServer>(options);
        Server place;
        place.set_ftp(FtpSettings{"127.0.0.1", "", "", true, server->port()}, "/");
        connection = Protocols::connect(place, session);
    }
    SharedPtr<FileDownloader> make() { return connection->create_downloader(); }
    static std::string source(const std::string& name) { return "/" + name; }
    InternetSession session;
    std::unique_ptr<FtpServer> server;
    SharedPtr<Connection> connection;
};

struct Http {
    using Options = HttpServer::Options;
    Http(const test::TempFolder& served, Options options) {
        options.root = served.path();
        server = std::make_unique<HttpServer>(options);
        connection =
            tovan::make_shared<HttpConnection>(session, "127.0.0.1", server->port(), options.tls);
    }
    SharedPtr<FileDownloader> make() { return connection->create_downloader(); }
    static std::string source(const std::string& name) { return "/" + name; }
    InternetSession session;
    std::unique_ptr<HttpServer> server;
    SharedPtr<HttpConnection> connection;
};

template <typename Kind>
class FileDownloaderTest : public ::testing::Test {
protected:
    void serve(typename Kind::Options options = {}) {
        ::umask(022);
        write_file(served.file("a.bin"), content);
        downloader = {};
        kind.reset();
        kind.emplace(served, options);
        downloader = kind->make();
        downloader->set_log(&log);
    }
    // Downloads a.bin into the destination; the bytes the reads brought.
    std::uint64_t fetch() {
        std::uint64_t read = 0;
        EXPECT_EQ(download(*downloader, kind->source("a.bin"), destination(), &read),
                  Outcome::Complete);
        EXPECT_EQ(read_file(destination()), content);
        return read;
    }
    bool logged(const std::string& text) const {
        return log.text().find(text) != std::string::npos;
    }
    std::string destination() const { return local.file("copy.bin"); }

    const std::string content = test::random_bytes(1'000'003, 9);
    test::TempFolder served;
    test::TempFolder local;
    std::optional<Kind> kind;
    SharedPtr<FileDownloader> downloader;
    TransferLog log;
};

using Kinds = ::testing::Types<Local, Ftp, Http>;
TYPED_TEST_SUITE(FileDownloaderTest, Kinds);

// Into folders it makes, as a file like any program's, not owner-only like the
// data files.
TYPED_TEST(FileDownloaderTest, CopiesAFileIntoNewFolders) {
    this->serve();
    const std::string copy = this->local.file("new/deeper/copy.bin");
    std::uint64_t read = 0;
    EXPECT_EQ(download(*this->downloader, this->kind->source("a.bin"), copy, &read),
              Outcome::Complete);
    EXPECT_EQ(read, this->content.size());
    EXPECT_EQ(read_file(copy), this->content);
    EXPECT_EQ(this->downloader->position(), this->content.size());
    EXPECT_EQ(this->downloader->read_chunk(100), 0);  // stopped once complete
    const auto permissions = std::filesystem::status(copy).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

// Shorter: only the missing bytes are fetched; as long: nothing is; longer: it
// is written anew.
TYPED_TEST(FileDownloaderTest, ResumesAShorterDestinationAndRestartsALongerOne) {
    this->serve();
    write_file(this->destination(), this->content.substr(0, 600'000));
    EXPECT_EQ(this->fetch(), this->content.size() - 600'000);
    EXPECT_EQ(this->fetch(), 0u);
    write_file(this->destination(), this->content + "trailing junk");
    EXPECT_EQ(this->fetch(), this->content.size());
}

// A job paused within a file stops before its next chunk, and on resuming
// continues where the destination ends, over the same connection.
TYPED_TEST(FileDownloaderTest, AStopWithinAFileTakesEffectAtOnceAndTheFileResumesLater) {
    this->serve();
    this->downloader->start(this->kind->source("a.bin"), this->destination());
    ASSERT_EQ(this->downloader->read_chunk(100'000), 100'000);
    this->downloader->stop();
    EXPECT_EQ(this->downloader->read_chunk(100'000), 0);
    EXPECT_EQ(this->fetch(), this->content.size() - 100'000);
}

// Found must not carry over from the file before, or the job would complete an
// empty file.
TYPED_TEST(FileDownloaderTest, AMissingSourceIsDroppedEvenAfterAFoundOneAndCreatesNothing) {
    this->serve();
    this->fetch();
    EXPECT_EQ(download(*this->downloader, this->kind->source("missing.bin"),
                       this->local.file("out/missing.bin")),
              Outcome::Dropped);
    EXPECT_FALSE(this->downloader->is_found());
    EXPECT_FALSE(std::filesystem::exists(this->local.file("out")));
}

TYPED_TEST(FileDownloaderTest, AFullDiskIsAWriteErrorThatStopsTheDownload) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    this->serve();
    EXPECT_EQ(download(*this->downloader, this->kind->source("a.bin"), "/dev/full"),
              Outcome::WriteError);
    EXPECT_EQ(this->downloader->read_chunk(4096), 0);
}

using LocalDownloaderTest = FileDownloaderTest<Local>;
using FtpDownloaderTest = FileDownloaderTest<Ftp>;
using HttpDownloaderTest = FileDownloaderTest<Http>;

// A disk that fails once the first bytes are read, as a dying disk or a share
// that went away does.
class FailingFile : public File {
public:
    explicit FailingFile(std::int64_t good_bytes) : good_bytes_(good_bytes) {}
    std::int64_t read(void* buffer, std::size_t count) override {
        if (good_bytes_ <= 0)
            return -1;
        const std::int64_t read = File::read(buffer, count);
        good_bytes_ -= read;
        return read;
    }

private:
    std::int64_t good_bytes_;
};

TEST_F(LocalDownloaderTest, AReadErrorIsNoEndOfFileAndChunksStayWithinBounds) {
    serve();
    FileLocalDownloader failing(std::make_unique<FailingFile>(300'000));
    EXPECT_THROW(download(failing, served.file("a.bin"), destination()), Exception);
    EXPECT_FALSE(failing.complete());
    EXPECT_LT(std::filesystem::file_size(destination()), content.size());

    downloader->start(served.file("a.bin"), local.file("other.bin"));
    EXPECT_EQ(downloader->read_chunk(1), FileDownloader::MinChunk);
    // Asked for far more than the 5 MiB bound, it reads the rest of the file.
    EXPECT_EQ(downloader->read_chunk(1'000'000'000), 1'000'003 - FileDownloader::MinChunk);
}

TEST_F(FtpDownloaderTest, LogsEveryStepAndResumesByRest) {
    serve();
    write_file(destination(), content.substr(0, 600'000));
    fetch();
    for (const char* text :
         {"SIZE /a.bin", "213 1000003", "Open file: /a.bin", "REST 600000", "350 ", "226 "})
        EXPECT_TRUE(logged(text)) << text;
    EXPECT_FALSE(logged("Set directory"));
    // Already whole: the remote file is never opened.
    log.clear();
    fetch();
    EXPECT_FALSE(logged("Open file"));
}

TEST_F(FtpDownloaderTest, AServerRefusingRestSendsTheWholeFileIntoAnEmptiedDestination) {
    serve({.rest = false});
    write_file(destination(), std::string(600'000, 'x'));
    EXPECT_EQ(fetch(), content.size());
}

TEST_F(FtpDownloaderTest, WithoutSizeTheFolderListingGivesTheSize) {
    serve({.size = false});
    fetch();
    EXPECT_EQ(downloader->size(), content.size());
    for (const char* text : {"Set directory /", "Search file in directory", "File found", "TYPE I"})
        EXPECT_TRUE(logged(text)) << text;
}

// Regression: a fetch refused after SIZE found the file used to end as a
// complete empty file. A 550 means the file is gone: dropped; any other
// refusal is tried again later.
TEST_F(FtpDownloaderTest, AFetchRefusedAfterSizeFoundTheFileIsDroppedOrRaises) {
    serve({.busy = {"b.bin"}, .gone = {"a.bin"}});
    write_file(served.file("b.bin"), "bytes");
    EXPECT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Dropped);
    EXPECT_TRUE(logged("550 No such file"));
    try {
        download(*downloader, "/b.bin", destination());
        FAIL() << "a refused fetch ended as a result";
    } catch (const Exception& failure) {
        EXPECT_STREQ(failure.what(), "can't open file");
    }
    EXPECT_TRUE(downloader->is_found());
    EXPECT_TRUE(logged("450 "));
}

TEST_F(HttpDownloaderTest, ACutTransferFailsAndTheNextTryAsksForTheMissingRange) {
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
    EXPECT_EQ(fetch(), content.size() - kept);
    const HttpServer::Answer last = kind->server->answers().back();
    EXPECT_EQ(last.status, 206);
    EXPECT_EQ(last.first, kept);
    const std::string request = "GET http://127.0.0.1:" + std::to_string(kind->server->port());
    for (const std::string& text :
         {request + "/a.bin", std::string("status 200"), std::string("size 1000003 bytes"),
          std::string("HTTP/1.1 200 OK"), std::string("Content-Length: 1000003"),
          std::string("status 206"), "Range: bytes=" + std::to_string(kept) + "-"})
        EXPECT_TRUE(logged(text)) << text;
}

// A server that goes silent within the body is a lost connection once the
// stall time has passed, not a wait for ever; the next try resumes.
TEST_F(HttpDownloaderTest, ABodyThatStallsFailsWithinItsStallTimeAndResumesLater) {
    serve({.stall_after = 300'000});
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_THROW(download(*downloader, "/a.bin", destination()), Exception);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(30));
    downloader->stop();
    const std::uint64_t kept = std::filesystem::file_size(destination());
    ASSERT_GT(kept, 0u);
    EXPECT_EQ(fetch(), content.size() - kept);
}

// A range answered with anything but 206 from the asked offset sends the file
// from its start, which must replace the partial destination.
TEST_F(HttpDownloaderTest, ARangeIgnoredOrMisplacedStartsTheFileOver) {
    for (const bool wrong_range : {false, true}) {
        SCOPED_TRACE(wrong_range ? "206 from byte 0" : "200");
        serve({.ignore_range = !wrong_range, .wrong_range = wrong_range});
        write_file(destination(), std::string(300'000, 'x'));
        EXPECT_EQ(fetch(), content.size());
    }
}

TEST_F(HttpDownloaderTest, WithoutContentLengthTheEndOfTheAnswerEndsTheFile) {
    serve({.no_length = true});
    write_file(destination(), content.substr(0, 1000));  // nothing to compare with: written anew
    fetch();
    EXPECT_EQ(downloader->size(), 0u);
    EXPECT_TRUE(logged("size unknown"));
}

// Regression: a 500 or 503 used to end as a complete empty file; a 404 is a
// missing file with the server's answer as the reason.
TEST_F(HttpDownloaderTest, AServerErrorRaisesSoTheJobTriesAgain) {
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
    EXPECT_EQ(download(*downloader, "/c.bin", destination()), Outcome::Dropped);
    EXPECT_EQ(downloader->refusal(), "HTTP/1.1 404 Not Found");
    for (const char* text : {"status 500", "status 503", "status 404"})
        EXPECT_TRUE(logged(text)) << text;
}

TEST_F(HttpDownloaderTest, AnUntrustedCertificateFailsWithCurlsReasonInTheLog) {
    serve({.tls = true});
    EXPECT_THROW(download(*downloader, "/a.bin", destination()), Exception);
    EXPECT_TRUE(logged("certificate")) << log.text();
    EXPECT_FALSE(std::filesystem::exists(destination()));
}

}  // namespace
}  // namespace tovan
