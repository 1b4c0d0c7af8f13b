#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

using BadInput = CliFixture;

TEST_F(BadInput, GivesOneLineOnStderrAndLeavesTheDataFilesAsTheyWere) {
    put("a.txt", "hi");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    write_file(sandbox.file("garbage.srv"), "not an export");
    const auto before = data_files();

    // The command, its exit status and what it says.
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"remove", "nothere"}, 1, "no server or group is named \"nothere\""},
        {{"add", "ftp://bad host/"}, 2, "the host \"bad host\" holds \" \""},
        {{"add", tree(), "--name", ""}, 2, "a name can't be empty"},
        {{"add", tree(), "--name", "a/b"}, 2, "holds \"/\""},
        {{"group", "add", "two\nlines"}, 2, "line break"},
        {{"download", "gopher://host/f.iso"}, 2, "the scheme \"gopher\""},
        {{"add", tree() + "/missing"}, 1, "is not a folder"},
        {{"add", tree(), "--depth", "7"}, 2, "--depth takes none, 1 to 6 or full"},
        {{"depth", "T", "9"}, 2, "the depth is none, 1 to 6, full or default"},
        {{"unmark", "T/nothere"}, 1, "\"nothere\" is not in the catalog of \"T\""},
        {{"options", "synchronize_minutes", "0"}, 2, "takes 1 to 9999"},
        {{"export", "T", sandbox.file("missing/x.srv")}, 1, "there is no folder"},
        {{"import", sandbox.file("garbage.srv")}, 1, "can't be read as an exported file"},
        {{"filter", "remove", "*.nothing"}, 1, "holds no mask"},
        {{"frobnicate"}, 2, "frobnicate"},
    };
    for (const auto& [arguments, status, says] : cases) {
        const CliProcess::Result result = cli(arguments);
        expect_exit(result, status, says);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(data_files(), before) << arguments.front();
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.file("missing")));

    // "temp" is where every save starts; a folder in its way fails each save as
    // a full disk would, even for root.
    std::filesystem::create_directories(data() + "/temp/blocked");
    expect_exit(cli({"group", "add", "G"}), 1, "can't be written");
    EXPECT_EQ(data_files(), before);
    EXPECT_EQ(CliProcess::run({"--data-dir", data() + "/servers.dat/x", "list"}).status, 1);
}

using DamagedFile = CliFixture;

// Each data file in turn is cut in half: reading commands warn and write nothing;
// the first command that changes data moves it aside under a free name, says
// where, and runs on a default, so no save overwrites what the user may want.
TEST_F(DamagedFile, IsLeftByReadingCommandsAndKeptAsideByTheFirstThatWrites) {
    put("a.txt", "hi");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    ok({"options", "synchronize_minutes", "30"});
    std::string catalog;
    for (const auto& [name, bytes] : data_files())
        if (name.ends_with(".sav"))
            catalog = name;
    write_file(data() + "/" + catalog + ".damaged", "an older copy");

    // A file of the data folder (empty: the catalog of T) and the warning it gives.
    const std::pair<std::string, std::string> cases[] = {
        {"", "the catalog of \"T\" can't be read"},
        {"options.dat", "the options can't be read"},
        {"filter.dat", "the change filter can't be read"},
        {"downloads.dat", "the download jobs can't be read"},
        {"servers.dat", "the server list can't be read"},
    };
    int group = 0;
    for (const auto& [file, warning] : cases) {
        const std::string path = data() + "/" + (file.empty() ? catalog : file);
        SCOPED_TRACE(path);
        const std::string damaged = read_file(path).substr(0, read_file(path).size() / 2);
        write_file(path, damaged);
        const auto before = data_files();
        for (const std::vector<std::string>& reading :
             {std::vector<std::string>{"list", "--no-check"}, {"changes"}, {"options"}}) {
            expect_exit(cli(reading), 0, "warning: " + warning);
            EXPECT_EQ(data_files(), before) << reading.front();
        }

        const std::string copy = path + (file.empty() ? ".damaged.2" : ".damaged");
        expect_exit(cli({"group", "add", "G" + std::to_string(++group)}), 0, "kept as " + copy);
        EXPECT_EQ(read_file(copy), damaged);
        EXPECT_EQ(cli({"list", "--no-check"}).err, "");
    }
    EXPECT_EQ(read_file(data() + "/" + catalog + ".damaged"), "an older copy");
    EXPECT_EQ(json({"list", "--no-check"}).at(0)["name"], "T");
}

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
        std::filesystem::remove(data() + "/fill/filler");
        const std::uint64_t free = std::filesystem::space(data()).available;
        ASSERT_GT(free, room);
        write_file_at(data() + "/fill/filler", std::string(free - room, 'x'), 0);
    }

    void expect_no_space(const std::vector<std::string>& command) const {
        const CliProcess::Result result = cli(command);
        expect_exit(result, 1, "No space left on device");
        EXPECT_NE(result.err.find(data() + "/"), std::string::npos) << result.err;
    }

private:
    bool mounted_ = false;
};

// Whatever a command could not save, it says so and fails; what is on disk stays
// whole, so the next start shows the state of the last save.
TEST_F(FullDisk, EveryCommandThatCannotSaveSaysWhichFileAndFails) {
    for (int at = 0; at < 300; ++at) put("f" + std::to_string(at), "x");
    write_file_at(sandbox.file("source/file.bin"), "bytes", 0);
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
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
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
             {"jobs", "remove", "1"}}) {
        expect_no_space(command);
        EXPECT_EQ(data_files(), before) << command.front();
    }

    std::filesystem::remove(data() + "/fill/filler");
    EXPECT_EQ(json({"changes"}).size(), 300u);
}

}  // namespace
}  // namespace tovan::test
