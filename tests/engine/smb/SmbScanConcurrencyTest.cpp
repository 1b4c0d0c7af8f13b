#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "engine/catalog/ChangeMarks.h"
#include "engine/scan/Scanner.h"
#include "fixtures/SmbServer.h"
#include "support/CatalogText.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;
using test::render;
using test::SmbServer;

// Whole scans of a network host through smbd, with several scan threads, each
// with its own SMB client context.
class SmbScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string reason = SmbServer::skip_reason(); !reason.empty())
            GTEST_SKIP() << reason;
        for (const char* share : {"pub", "media"})
            std::filesystem::create_directories(sandbox.file(share));
        smbd.emplace(std::vector<SmbServer::Share>{{"pub", sandbox.file("pub")},
                                                   {"media", sandbox.file("media")}});
        ASSERT_TRUE(smbd->is_running()) << smbd->log();
        everything.set_masks({"*"});
        server = make_shared<Server>();
        server->set_parent_filter(&everything);
    }

    void write(const std::string& path, const std::string& bytes, std::int64_t age = 60) {
        std::filesystem::create_directories(
            std::filesystem::path(sandbox.file(path)).parent_path());
        test::write_file(sandbox.file(path), bytes);
        const std::time_t when = std::time(nullptr) - age;
        const timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, sandbox.file(path).c_str(), times, 0), 0);
    }

    std::string scan_all(std::uint32_t limit) {
        server->set_connections_limit(limit);
        const SharedPtr<Scanner> scanner = make_shared<Scanner>(server, options);
        scanner->scan(server->root(), false);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!scanner->is_idle() && !scanner->has_no_threads()) {
            if (std::chrono::steady_clock::now() > deadline)
                break;
            std::this_thread::sleep_for(1ms);
        }
        scanner->stop();
        while (!scanner->has_no_threads()) std::this_thread::sleep_for(1ms);
        online = scanner->is_online();
        return render(*server->root());
    }

    test::TempFolder sandbox;
    std::optional<SmbServer> smbd;
    ScanFilter everything;
    SharedPtr<Server> server;
    ScanOptions options;
    bool online = false;
};

TEST_F(SmbScanTest, ARescanOfAHostMarksWhatChangedInItsShares) {
    write("pub/docs/a.txt", "0123456789");
    write("pub/docs/old/c.txt", "c");
    write("pub/top.txt", "t");
    write("media/x.bin", "x");
    ASSERT_TRUE(server->from_url("smb://" + smbd->host() + "/"));
    EXPECT_EQ(scan_all(3), "media/~(x.bin+) pub/~(docs/~(old/~(c.txt+) a.txt+) top.txt+)");
    EXPECT_TRUE(online);
    ChangeMarks::set(*server->root(), EntryState::Unchanged);

    write("pub/docs/a.txt", "0123456789abcde");
    write("pub/docs/new.txt", "n");
    std::filesystem::remove_all(sandbox.file("pub/docs/old"));
    std::filesystem::remove(sandbox.file("media/x.bin"));
    EXPECT_EQ(scan_all(2), "media/~(x.bin-) pub/~(docs/~(old/-(c.txt-) a.txt* new.txt+) top.txt)");
}

TEST_F(SmbScanTest, AShareGivenAsLocationIsScannedAndAHostThatIsGoneIsOffline) {
    write("pub/docs/a.txt", "a");
    ASSERT_TRUE(server->from_url("\\\\" + smbd->host() + "\\pub\\docs\\"));
    const std::string scanned = scan_all(1);
    EXPECT_EQ(scanned, "a.txt+");
    EXPECT_TRUE(online);

    smbd.reset();
    EXPECT_EQ(scan_all(1), scanned);
    EXPECT_FALSE(online);
}

}  // namespace
}  // namespace tovan
