#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

using BadInput = CliFixture;

struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string says;
};

TEST_F(BadInput, GivesOneLineOnStderrAndLeavesTheDataFilesAsTheyWere) {
    put("a.txt", "hi");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    write_file(sandbox.file("garbage.srv"), "not an export");
    const auto before = data_files();

    const std::vector<Case> cases = {
        {{"remove", "nothere"}, 1, "no server or group is named \"nothere\""},
        {{"add", "ftp://bad host/"}, 2, "the host \"bad host\" holds \" \""},
        {{"add", tree(), "--name", ""}, 2, "a name can't be empty"},
        {{"add", tree(), "--name", "a/b"}, 2, "holds \"/\""},
        {{"group", "add", "two\nlines"}, 2, "line break"},
        {{"download", "sftp://host/f.iso"}, 2, "the scheme \"sftp\""},
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
    for (const Case& each : cases) {
        const CliProcess::Result result = cli(each.arguments);
        EXPECT_EQ(result.status, each.status) << each.arguments.front() << ": " << result.err;
        EXPECT_NE(result.err.find(each.says), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(data_files(), before) << each.arguments.front();
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.file("missing")));
}

// "temp" is where every save starts; a folder in its way fails each save as a
// full disk would, even for root.
TEST_F(BadInput, AFolderThatCannotBeWrittenKeepsTheLastSavedFiles) {
    ok({"add", tree() + "/", "--name", "T"});
    const auto before = data_files();
    std::filesystem::create_directories(data() + "/temp/blocked");
    const CliProcess::Result result = cli({"group", "add", "G"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("can't be written"), std::string::npos) << result.err;
    EXPECT_EQ(data_files(), before);
    EXPECT_EQ(CliProcess::run({"--data-dir", data() + "/servers.dat/x", "list"}).status, 1);
}

}  // namespace
}  // namespace tovan::test
