#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/local/FileLocalDownloader.h"
#include "support/DownloadRun.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "tovan/Exception.h"
#include "tovan/File.h"

namespace tovan {
namespace {

using test::random_bytes;
using test::read_file;
using test::write_file;

// The bytes that the reads of one file brought.
std::uint64_t download(FileDownloader& downloader, const std::string& source,
                       const std::string& destination) {
    std::uint64_t read = 0;
    test::download(downloader, source, destination, &read);
    return read;
}

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

class FileLocalDownloaderTest : public ::testing::Test {
protected:
    FileLocalDownloaderTest() { ::umask(022); }

    const std::string content = random_bytes(1'000'003);
    test::TempFolder folder;
    FileLocalDownloader downloader;
};

TEST_F(FileLocalDownloaderTest, CopiesAFileIntoNewFoldersChunkByChunk) {
    write_file(folder.file("source.bin"), content);
    const std::string destination = folder.file("new/deeper/copy.bin");
    EXPECT_EQ(download(downloader, folder.file("source.bin"), destination), content.size());
    EXPECT_EQ(read_file(destination), content);
    EXPECT_EQ(downloader.position(), content.size());
    EXPECT_EQ(downloader.read_chunk(100), 0);  // stopped once complete
    // Made like any program's file, not owner-only like the data files.
    const auto permissions = std::filesystem::status(destination).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

TEST_F(FileLocalDownloaderTest, AReadErrorIsNoEndOfFileAndTheCopyResumesAfterIt) {
    write_file(folder.file("source.bin"), content);
    const std::string destination = folder.file("copy.bin");
    {
        FileLocalDownloader failing(std::make_unique<FailingFile>(300'000));
        EXPECT_THROW(download(failing, folder.file("source.bin"), destination), Exception);
        EXPECT_FALSE(failing.complete());
    }
    const std::uint64_t kept = std::filesystem::file_size(destination);
    EXPECT_LT(kept, content.size());
    EXPECT_EQ(download(downloader, folder.file("source.bin"), destination), content.size() - kept);
    EXPECT_EQ(read_file(destination), content);
}

TEST_F(FileLocalDownloaderTest, ResumesAShorterDestinationAndRestartsALongerOne) {
    write_file(folder.file("source.bin"), content);
    const std::string destination = folder.file("copy.bin");
    write_file(destination, content.substr(0, 600'000));
    EXPECT_EQ(download(downloader, folder.file("source.bin"), destination),
              content.size() - 600'000);
    EXPECT_EQ(read_file(destination), content);

    // Already whole: complete at once, nothing read.
    EXPECT_EQ(download(downloader, folder.file("source.bin"), destination), 0u);
    EXPECT_TRUE(downloader.complete());

    write_file(destination, content + "trailing junk");
    EXPECT_EQ(download(downloader, folder.file("source.bin"), destination), content.size());
    EXPECT_EQ(read_file(destination), content);
}

TEST_F(FileLocalDownloaderTest, AMissingSourceIsNotFoundAndCreatesNothing) {
    downloader.start(folder.file("missing"), folder.file("out/copy"));
    EXPECT_FALSE(downloader.complete());
    EXPECT_FALSE(downloader.is_found());
    EXPECT_FALSE(std::filesystem::exists(folder.file("out")));
}

TEST_F(FileLocalDownloaderTest, ChunksStayWithinBoundsAndAFullDiskStopsTheDownload) {
    write_file(folder.file("source.bin"), content);
    downloader.start(folder.file("source.bin"), folder.file("copy.bin"));
    EXPECT_EQ(downloader.read_chunk(1), FileDownloader::MinChunk);
    // Asked for far more than the 5 MiB bound, it reads the rest of the file.
    EXPECT_EQ(downloader.read_chunk(1'000'000'000), 1'000'003 - FileDownloader::MinChunk);
    EXPECT_TRUE(downloader.complete());

    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    downloader.start(folder.file("source.bin"), "/dev/full");
    EXPECT_GT(downloader.read_chunk(4096), 0);
    EXPECT_TRUE(downloader.write_error());
    EXPECT_EQ(downloader.read_chunk(4096), 0);
}

}  // namespace
}  // namespace tovan
