#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/catalog/Server.h"
#include "engine/connection/Certificate.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferLog.h"
#include "engine/curl/InternetSession.h"
#include "engine/http/HttpConnection.h"
#include "engine/local/FileLocalDownloader.h"
#include "fixtures/FtpServer.h"
#include "fixtures/FtpsServer.h"
#include "fixtures/HttpServer.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/Exception.h"

namespace tovan {
namespace {

using test::download;
using test::FtpServer;
using test::HttpServer;
using test::Outcome;
using test::write_file;

// Each kind serves `served` (with a.bin in it) and makes a downloader fetching from there.
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
    std::uint64_t fetch() {
        std::uint64_t read = 0;
        EXPECT_EQ(download(*downloader, kind->source("a.bin"), destination(), &read),
                  Outcome::Complete);
        EXPECT_EQ(test::read_file(destination()), content);
        return read;
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

// Not owner-only like the data files. Found must not carry over to the missing file.
TYPED_TEST(FileDownloaderTest, CopiesAFileIntoNewFoldersAndDropsAMissingOneAfterIt) {
    this->serve();
    const std::string copy = this->local.file("new/deeper/copy.bin");
    EXPECT_EQ(download(*this->downloader, this->kind->source("a.bin"), copy), Outcome::Complete);
    EXPECT_EQ(test::read_file(copy), this->content);
    EXPECT_EQ(this->downloader->read_chunk(100), 0);  // stopped once complete
    const auto permissions = std::filesystem::status(copy).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);
    EXPECT_EQ(download(*this->downloader, this->kind->source("missing.bin"),
                       this->local.file("out/missing.bin")),
              Outcome::Dropped);
    EXPECT_FALSE(std::filesystem::exists(this->local.file("out")));
}

// The next fetch continues where the destination ends, over the same connection.
TYPED_TEST(FileDownloaderTest, AStoppedFileResumesAndALongerDestinationIsWrittenAnew) {
    this->serve();
    this->downloader->start(this->kind->source("a.bin"), this->destination());
    ASSERT_EQ(this->downloader->read_chunk(100'000), 100'000);
    this->downloader->stop();
    EXPECT_EQ(this->downloader->read_chunk(100'000), 0);
    EXPECT_EQ(this->fetch(), this->content.size() - 100'000);
    EXPECT_EQ(this->fetch(), 0u);
    write_file(this->destination(), this->content + "trailing junk");
    EXPECT_EQ(this->fetch(), this->content.size());
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

// Fails after the first bytes, as a dying disk or a share that went away does.
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
    EXPECT_EQ(downloader->read_chunk(1'000'000'000), 1'000'003 - FileDownloader::MinChunk);
}

TEST_F(FtpDownloaderTest, AServerRefusingRestOrSizeSendsTheWholeFileIntoAnEmptiedDestination) {
    serve({.size = false, .rest = false});
    write_file(destination(), std::string(600'000, 'x'));
    EXPECT_EQ(fetch(), content.size());
    EXPECT_EQ(downloader->size(), content.size());
}

// Regression: a fetch refused after SIZE found the file ended as an empty file.
TEST_F(FtpDownloaderTest, AFetchRefusedAfterSizeFoundTheFileIsDroppedOrRaises) {
    serve({.busy = {"b.bin"}, .gone = {"a.bin"}});
    write_file(served.file("b.bin"), "bytes");
    EXPECT_EQ(download(*downloader, "/a.bin", destination()), Outcome::Dropped);
    EXPECT_THROW(download(*downloader, "/b.bin", destination()), Exception);
    EXPECT_TRUE(downloader->is_found());
}

TEST_F(HttpDownloaderTest, ACutOrStalledTransferFailsAndTheNextTryAsksForTheMissingRange) {
    for (const HttpServer::Options& options :
         {HttpServer::Options{.cut_after = 450'000}, HttpServer::Options{.stall_after = 300'000}}) {
        serve(options);
        const auto begun = std::chrono::steady_clock::now();
        EXPECT_THROW(download(*downloader, "/a.bin", destination()), Exception);
        EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(30));
        downloader->stop();
        const std::uint64_t kept = std::filesystem::file_size(destination());
        ASSERT_GT(kept, 0u);
        EXPECT_EQ(fetch(), content.size() - kept);
        EXPECT_EQ(kind->server->answers().back().status, 206);
        std::filesystem::remove(destination());
    }
}

// Anything but 206 from the asked offset sends the file from its start.
TEST_F(HttpDownloaderTest, ARangeIgnoredOrMisplacedOrWithoutLengthStartsTheFileOver) {
    for (const HttpServer::Options& options :
         {HttpServer::Options{.ignore_range = true}, HttpServer::Options{.wrong_range = true},
          HttpServer::Options{.no_length = true}}) {
        serve(options);
        write_file(destination(), std::string(300'000, 'x'));
        EXPECT_EQ(fetch(), content.size());
    }
}

// Regression: a 500 or 503 used to end as a complete empty file.
TEST_F(HttpDownloaderTest, AServerErrorRaisesSoTheJobTriesAgain) {
    serve({.statuses = {{500, "/a.bin"}, {503, "/b.bin"}}});
    for (const char* source : {"/a.bin", "/b.bin"}) {
        SCOPED_TRACE(source);
        EXPECT_THROW(download(*downloader, source, destination()), Exception);
        EXPECT_TRUE(downloader->is_found());
        EXPECT_FALSE(std::filesystem::exists(destination()));
    }
    EXPECT_EQ(download(*downloader, "/c.bin", destination()), Outcome::Dropped);
    EXPECT_EQ(downloader->refusal(), "HTTP/1.1 404 Not Found");
}

TEST_F(HttpDownloaderTest, ACertificateIsTrustedByItsFingerprintAloneOrByACaFile) {
    serve({.tls = true});
    const std::string pem = std::string(FERROVANE_TEST_FIXTURES) + "/selfsigned.pem";
    const std::string offered = test::fingerprint_of(pem);
    const auto fetched_with = [&](const TlsTrust& trust) -> std::string {
        HttpConnection connection(kind->session, "127.0.0.1", kind->server->port(), true, trust);
        try {
            download(*connection.create_downloader(), "/a.bin", destination());
            return "done";
        } catch (const Exception& failure) {
            return failure.what();
        }
    };
    const std::string untrusted = fetched_with({});
    EXPECT_NE(untrusted.find("not trusted (self-signed)"), std::string::npos) << untrusted;
    EXPECT_NE(untrusted.find(offered), std::string::npos) << untrusted;
    EXPECT_FALSE(std::filesystem::exists(destination()));
    const auto wrong = read_fingerprint(std::string(64, 'a'));
    EXPECT_NE(fetched_with({*wrong, ""}).find("has changed"), std::string::npos);
    EXPECT_EQ(fetched_with({offered, ""}), "done");
    std::filesystem::remove(destination());
    EXPECT_EQ(fetched_with({"", pem}), "done");
}

}  // namespace
}  // namespace tovan
