#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CLumiskDoc.h"
#include "app/DamagedFiles.h"
#include "app/DownloadList.h"
#include "engine/Server.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;

// A job stopped in the middle of a file, the program ended and started again:
// the job comes back from the data folder and finishes the file where it stopped.
TEST(DownloadListTest, AStoredJobResumesWhereItStoppedAfterARestart) {
    test::TempFolder data, source, target;
    DamagedFiles damaged;
    const std::string content = test::random_bytes(16 << 20);
    test::write_file(source.file("big.bin"), content);
    Server server;
    ASSERT_TRUE(server.from_url(source.path() + "/"));

    std::uint64_t partial = 0;
    {
        CLumiskDoc doc(data.path());
        doc.load(damaged);
        DownloadList list(doc.downloads());
        auto job = tovan::make_shared<Downloader>();
        job->set_server(server);
        job->set_name("big.bin");
        job->add_path("big.bin", target.path());
        list.add(job);
        job->resume();
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (job->status().file_progress <= 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(list.pause_all(60s));
        partial = std::filesystem::file_size(target.file("big.bin"));
        ASSERT_LT(partial, content.size());
        doc.store();
    }

    CLumiskDoc doc(data.path());
    doc.load(damaged);
    DownloadList list(doc.downloads());
    ASSERT_EQ(list.jobs().size(), 1u);
    const SharedPtr<Downloader> job = list.jobs().front();
    EXPECT_EQ(job->status().state, Downloader::State::Paused);
    EXPECT_EQ(job->status().name, "big.bin");
    list.resume_all(nullptr);
    ASSERT_TRUE(job->wait_for_thread(60s));
    EXPECT_EQ(job->status().state, Downloader::State::Complete) << job->log().text();
    EXPECT_TRUE(test::read_file(target.file("big.bin")) == content);

    EXPECT_TRUE(list.remove(job));
    EXPECT_TRUE(list.jobs().empty());
}

}  // namespace
}  // namespace tovan
