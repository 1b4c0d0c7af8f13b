#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"
#include "fixtures/SmbServer.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;
using test::read_file;
using test::wait_until;
using test::write_file;

void run(Downloader& job) {
    job.resume();
    ASSERT_TRUE(wait_until([&] { return !job.has_thread(); })) << job.log().text();
}

class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() {
        std::filesystem::create_directories(source.path() + "/docs/deep");
        write_file(source.file("docs/a.txt"), "alpha");
        write_file(source.file("docs/deep/b.bin"), big);
        write_file(source.file("top.txt"), "top");
        server->from_url(source.path() + "/");
        test::scan(server);
        docs = at("docs");
    }

    SharedPtr<Entry> at(const std::string& path) const {
        return test::entry_at(server->root(), path);
    }

    std::unique_ptr<Downloader> job_for(const Entry& entry, const std::string& into,
                                        bool changed_only = false) {
        auto job = std::make_unique<Downloader>();
        job->set_server(*server);
        job->add_entry(entry, into, changed_only);
        return job;
    }

    const std::string big = test::random_bytes(16 << 20, 7);
    test::TempFolder source;
    test::TempFolder target;
    SharedPtr<Server> server = tovan::make_shared<Server>();
    SharedPtr<Entry> docs;
};

// Again: a finished file changed since is the user's; unchanged ones are not fetched.
TEST_F(DownloaderTest, CopiesAFolderTreeFromTheCatalogAndAgainOnlyWhatChanged) {
    const auto job = job_for(*docs, target.path());
    EXPECT_EQ(job->status().total, 5 + big.size());
    run(*job);
    EXPECT_EQ(read_file(target.file("docs/a.txt")), "alpha");
    EXPECT_TRUE(read_file(target.file("docs/deep/b.bin")) == big);
    EXPECT_EQ(job->status().state, Downloader::State::Complete);

    write_file(target.file("docs/a.txt"), "al");
    job->log().clear();
    job->pause();
    job->again();
    run(*job);
    EXPECT_EQ(job->status().completed_count, 2u);
    EXPECT_EQ(read_file(target.file("docs/a.txt")), "al");
    EXPECT_EQ(read_file(target.file("docs/a (1).txt")), "alpha");
    EXPECT_EQ(job->log().text().find("b.bin complete"), std::string::npos) << job->log().text();
}

// Regression: a smaller file of the same name was taken for a partial download
// and appended to, a larger one emptied and overwritten.
TEST_F(DownloaderTest, NeverWritesIntoAFileItDidNotWrite) {
    for (const std::string& there : {std::string("tiny"), std::string(100'000, 'x')}) {
        SCOPED_TRACE(there.size());
        test::TempFolder into;
        std::filesystem::create_directory(into.file("docs"));
        write_file(into.file("docs/a.txt"), there);
        run(*job_for(*docs, into.path()));
        EXPECT_TRUE(read_file(into.file("docs/a.txt")) == there);
        EXPECT_EQ(read_file(into.file("docs/a (1).txt")), "alpha");
    }
}

TEST_F(DownloaderTest, PausesWhenTheDestinationCannotBeWritten) {
    write_file(target.file("plain"), "a file, not a folder");
    const auto job = job_for(*docs, target.file("plain/below"));
    run(*job);
    EXPECT_NE(job->log().text().find("can't write: " + target.file("plain/below/docs/")),
              std::string::npos)
        << job->log().text();
    EXPECT_EQ(job->status().state, Downloader::State::Paused);
}

TEST_F(DownloaderTest, RefusesNamesThatWouldLeaveTheDestinationFolder) {
    docs->add_children({Entry::create_file("..", 1, 0)});
    const auto job = job_for(*docs, target.path());
    job->add_path("../escaped", target.path());
    EXPECT_EQ(job->status().item_count, 2u);

    // A stored job may carry any destination.
    DownloadTask stored = job->task();
    stored.pending.push_back({source.file("top.txt"), target.path() + "/../escaped.txt", 3, 0});
    Downloader restored(stored, nullptr);
    run(restored);
    EXPECT_FALSE(std::filesystem::exists(target.path() + "/../escaped.txt"));
    EXPECT_EQ(restored.status().completed_count, 2u);
}

// Regression: a link to a folder, which scans list as a file, became an empty
// file and the job ended complete.
TEST_F(DownloaderTest, SkipsLinksToFoldersAndCopiesWhatLinksToFilesPointTo) {
    std::filesystem::create_directory_symlink(source.file("docs/deep"),
                                              source.file("docs/to_deep"));
    std::filesystem::create_symlink(source.file("docs/a.txt"), source.file("docs/to_a"));
    test::scan(server);
    const auto job = job_for(*at("docs"), target.path());
    run(*job);
    EXPECT_FALSE(std::filesystem::exists(target.file("docs/to_deep")));
    EXPECT_EQ(read_file(target.file("docs/to_a")), "alpha");
    EXPECT_EQ(job->status().state, Downloader::State::Complete);
    EXPECT_EQ(job->status().completed_count, 3u);
}

TEST_F(DownloaderTest, TakesOnlyNewAndModifiedFilesWhenAsked) {
    ChangeMarks::set(*at("docs/a.txt"), EntryState::Modified);
    ChangeMarks::set(*at("top.txt"), EntryState::New);
    const auto job = job_for(*server->root(), target.path(), true);
    run(*job);
    const std::string root_name = std::filesystem::path(source.path()).filename();
    EXPECT_EQ(job->status().item_count, 2u);
    EXPECT_EQ(read_file(target.file(root_name + "/docs/a.txt")), "alpha");
    EXPECT_EQ(read_file(target.file(root_name + "/top.txt")), "top");
}

// With a limit of tries (the command line's) it pauses for good; without, it waits.
TEST_F(DownloaderTest, WaitsAndRetriesWhileTheServerIsUnreachableUntilItsTriesAreSpent) {
    Server offline;
    offline.from_url(source.path() + "/missing/");
    Downloader limited;
    limited.set_server(offline);
    limited.set_retry_wait(100ms);
    limited.set_tries(2);
    limited.add_path("x.txt", target.path());
    run(limited);
    EXPECT_EQ(limited.status().state, Downloader::State::Paused);
    EXPECT_NE(limited.stop_reason().find("gave up after 2 tries"), std::string::npos);

    Downloader job;
    job.set_server(offline);
    job.set_retry_wait(2000ms);
    job.add_path("x.txt", target.path());
    job.resume();
    ASSERT_TRUE(wait_until([&] { return job.status().state == Downloader::State::Waiting; }));
    job.pause();
    ASSERT_TRUE(wait_until([&] { return !job.has_thread(); }));
}

TEST(NetworkDownloadTest, CopiesAFileOfAShareAndLeavesOutAMissingOne) {
    if (const std::string reason = test::SmbServer::skip_reason(); !reason.empty())
        GTEST_SKIP() << reason;
    test::TempFolder share, target;
    const std::string content = test::random_bytes(3 << 20, 11);
    write_file(share.file("big.bin"), content);
    test::SmbServer smbd({{"pub", share.path()}});
    ASSERT_TRUE(smbd.is_running()) << smbd.log();
    Server server;
    ASSERT_TRUE(server.from_url("smb://" + smbd.host() + "/pub/"));

    Downloader job;
    job.set_server(server);
    job.add_path("big.bin", target.path());
    job.add_path("missing.bin", target.path());
    run(job);
    EXPECT_TRUE(read_file(target.file("big.bin")) == content) << job.log().text();
    EXPECT_EQ(job.status().completed_count, 1u);
}

}  // namespace
}  // namespace tovan
