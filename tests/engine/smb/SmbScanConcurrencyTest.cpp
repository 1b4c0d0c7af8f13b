#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <optional>

#include "engine/catalog/ChangeMarks.h"
#include "fixtures/SmbServer.h"
#include "support/CatalogText.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::SmbServer;

// Several scan threads, each with its own SMB client context.
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
        server->set_parent_filter(test::everything());
    }

    void write(const std::string& path, const std::string& bytes) {
        test::write_file_at(sandbox.file(path), bytes, std::time(nullptr) - 60);
    }

    std::string scan_all(std::uint32_t limit) {
        server->set_connections_limit(limit);
        online = test::scan(server);
        return test::render(*server->root());
    }

    test::TempFolder sandbox;
    std::optional<SmbServer> smbd;
    SharedPtr<Server> server = make_shared<Server>();
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
