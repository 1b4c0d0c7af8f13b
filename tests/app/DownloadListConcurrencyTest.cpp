#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/DownloadList.h"
#include "app/DownloadTaskRecord.h"
#include "app/ServerRecord.h"
#include "support/Bytes.h"
#include "support/DownloadRun.h"
#include "support/LoadedDocument.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;

// The part file is the job's own: a file that took the name meanwhile is left alone.
TEST(DownloadListTest, AStoredJobResumesWhereItStoppedAfterARestart) {
    test::TempFolder data, source, target;
    const std::string content = test::random_bytes(16 << 20);
    test::write_file(source.file("big.bin"), content);
    Server server;
    ASSERT_TRUE(server.from_url(source.path() + "/"));
    std::string part;
    {
        test::LoadedDocument doc(data.path());
        DownloadList list(doc.downloads());
        auto job = tovan::make_shared<Downloader>();
        job->set_server(server);
        job->set_name("big.bin");
        job->add_path("big.bin", target.path());
        list.add(job);
        job->resume();
        ASSERT_TRUE(test::wait_until([&] { return job->status().file_progress > 0; }));
        ASSERT_TRUE(list.pause_all(60s));
        part = test::part_file(*job);
        ASSERT_LT(std::filesystem::file_size(part), content.size());
        doc.store();
    }
    test::write_file(target.file("big.bin"), "appeared meanwhile");

    test::LoadedDocument doc(data.path());
    DownloadList list(doc.downloads());
    const SharedPtr<Downloader> job = list.jobs().at(0);
    EXPECT_EQ(job->status().state, Downloader::State::Paused);
    list.resume_all(nullptr);
    ASSERT_TRUE(job->wait_for_thread(60s));
    EXPECT_EQ(job->status().state, Downloader::State::Complete) << job->log().text();
    EXPECT_TRUE(test::read_file(target.file("big (1).bin")) == content);
    EXPECT_EQ(test::read_file(target.file("big.bin")), "appeared meanwhile");
    EXPECT_FALSE(std::filesystem::exists(part));
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
        io::OFStream out(data.file("job"));
        out.write_byte(5);
        ServerRecord::write(out, server);
        out.close();
        test::Bytes record = test::Bytes().raw(test::read_file(data.file("job"))).u32(0).u32(1);
        record.u8(2).text(source.file("big.bin")).text(target.file("big.bin")).u64(content.size());
        record.u64(counted).u32(0).u64(content.size()).text("big.bin").text(target.path() + "/");
        test::write_file(data.file("job"), record.text(target.file("big.bin")));
        io::IFStream in(data.file("job"));
        Downloader job(*DownloadTaskRecord::read(in), nullptr);
        job.resume();
        ASSERT_TRUE(job.wait_for_thread(60s));
        EXPECT_EQ(job.status().state, Downloader::State::Complete) << job.log().text();
        const bool its_own = counted == 300'000u;
        EXPECT_TRUE(test::read_file(target.file(its_own ? "big.bin" : "big (1).bin")) == content);
        EXPECT_TRUE(its_own ||
                    test::read_file(target.file("big.bin")) == content.substr(0, 300'000));
        EXPECT_EQ(job.log().text().find("took over") != std::string::npos, its_own);
    }
}

}  // namespace
}  // namespace tovan
