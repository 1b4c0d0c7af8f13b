#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/DownloadTaskRecord.h"
#include "app/ServerRecord.h"
#include "engine/catalog/Server.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

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
        Document doc(data.path());
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
        partial = std::filesystem::file_size(test::part_file(*job));
        ASSERT_LT(partial, content.size());
        doc.store();
    }

    Document doc(data.path());
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

// The version before part files wrote into the destination itself. Its job
// goes on from the bytes it counted when the destination holds just those;
// any other file there is not known to be its own and is left alone.
TEST(DownloadListTest, AJobOfTheVersionBeforeResumesOnlyIntoTheBytesItCounted) {
    const std::string content = test::random_bytes(1 << 20);
    for (const std::uint64_t counted : {300'000u, 200'000u}) {
        SCOPED_TRACE(counted);
        test::TempFolder data, source, target;
        test::write_file(source.file("big.bin"), content);
        test::write_file(target.file("big.bin"), content.substr(0, 300'000));
        Server server;
        ASSERT_TRUE(server.from_url(source.path() + "/"));
        {
            io::OFStream out(data.file("job"));
            out.write_byte(5);
            ServerRecord::write(out, server);
            out.write_u32(0);
            out.write_u32(1);
            out.write_byte(2);
            out.write_text(source.file("big.bin"));
            out.write_text(target.file("big.bin"));
            out.write_u64(content.size());
            out.write_u64(counted);
            out.write_u32(0);
            out.write_u64(content.size());
            out.write_text("big.bin");
            out.write_text(target.path() + "/");
            out.write_text(target.file("big.bin"));
            out.close();
        }
        io::IFStream in(data.file("job"));
        Downloader job(*DownloadTaskRecord::read(in), nullptr);
        job.resume();
        ASSERT_TRUE(job.wait_for_thread(60s));
        EXPECT_EQ(job.status().state, Downloader::State::Complete) << job.log().text();
        const bool its_own = counted == 300'000u;
        EXPECT_TRUE(test::read_file(target.file(its_own ? "big.bin" : "big (1).bin")) == content);
        if (!its_own) {
            EXPECT_EQ(test::read_file(target.file("big.bin")), content.substr(0, 300'000));
        }
        EXPECT_EQ(job.log().text().find("took over") != std::string::npos, its_own)
            << job.log().text();
    }
}

}  // namespace
}  // namespace tovan
