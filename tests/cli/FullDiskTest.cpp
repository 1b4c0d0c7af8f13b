#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

constexpr const char* NoSpace = "No space left on device";

// The data folder on a small file system of its own, which the test fills.
class FullDisk : public CliFixture {
protected:
    void SetUp() override {
        std::filesystem::create_directories(data());
        if (::mount("tmpfs", data().c_str(), "tmpfs", 0, "size=1m,mode=0700") != 0)
            GTEST_SKIP() << "no tmpfs can be mounted here (" << std::strerror(errno)
                         << "); run the tests as root to check a full disk";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_)
            ::umount2(data().c_str(), MNT_DETACH);
    }

    // Takes all the free space but `room` bytes, in a file of a folder of its own
    // so that it counts as no data file.
    void leave_room(std::uint64_t room) const {
        const std::string filler = data() + "/fill/filler";
        std::filesystem::create_directories(data() + "/fill");
        std::filesystem::remove(filler);
        struct statvfs status;
        ASSERT_EQ(::statvfs(data().c_str(), &status), 0);
        const std::uint64_t free = std::uint64_t{status.f_bavail} * status.f_bsize;
        ASSERT_GT(free, room);
        const int descriptor = ::open(filler.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(descriptor, 0);
        EXPECT_EQ(::posix_fallocate(descriptor, 0, static_cast<off_t>(free - room)), 0);
        ::close(descriptor);
    }

    void expect_no_space(const std::vector<std::string>& command) const {
        const CliProcess::Result result = cli(command);
        EXPECT_EQ(result.status, 1) << command.front() << ": " << result.err;
        EXPECT_NE(result.err.find(NoSpace), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(data() + "/"), std::string::npos) << result.err;
    }

private:
    bool mounted_ = false;
};

// Whatever a command could not save, it says so and fails; what is on disk stays
// whole, so the next start shows the state of the last save.
TEST_F(FullDisk, EveryCommandThatCannotSaveSaysWhichFileAndFails) {
    for (int at = 0; at < 300; ++at) put("f" + std::to_string(at), "x");
    std::filesystem::create_directories(sandbox.file("source"));
    write_file(sandbox.file("source/file.bin"), "bytes");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    ok({"group", "add", "G"});
    ok({"export", "G", sandbox.file("G.srv")});
    ok({"download", sandbox.file("source/file.bin"), "--to", sandbox.file("to")});

    // Room for the small files, not for the catalog: the marks were not unmarked.
    leave_room(8192);
    expect_no_space({"unmark", "T"});
    expect_no_space({"sync"});

    leave_room(0);
    const auto before = data_files();
    const std::vector<std::vector<std::string>> commands = {
        {"unmark", "T"},
        {"sync"},
        {"add", tree(), "--name", "U"},
        {"remove", "G"},
        {"depth", "T", "2"},
        {"group", "add", "H"},
        {"filter", "add", "-*.tmp"},
        {"options", "synchronize_minutes", "45"},
        {"import", sandbox.file("G.srv")},
        {"download", sandbox.file("source/file.bin"), "--to", sandbox.file("to")},
        {"jobs", "pause", "1"},
        {"jobs", "remove", "1"}};
    for (const std::vector<std::string>& command : commands) {
        expect_no_space(command);
        EXPECT_EQ(data_files(), before) << command.front();
    }

    std::filesystem::remove(data() + "/fill/filler");
    EXPECT_EQ(json({"changes"}).size(), 300u);
}

}  // namespace
}  // namespace tovan::test
