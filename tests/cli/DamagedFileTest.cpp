#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

using DamagedFile = CliFixture;

struct Case {
    std::string file;  // in the data folder; empty for the catalog of T
    std::string warning;
};

// Each data file in turn is cut in half. Commands that only read warn and write
// nothing; the first command that changes data moves the damaged file aside under
// a free name, says where, and runs on a default, so the next save overwrites
// nothing the user might still want.
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

    const std::vector<Case> cases = {
        {"", "the catalog of \"T\" can't be read"},
        {"options.dat", "the options can't be read"},
        {"filter.dat", "the change filter can't be read"},
        {"downloads.dat", "the download jobs can't be read"},
        {"servers.dat", "the server list can't be read"},
    };
    int group = 0;
    for (const Case& each : cases) {
        const std::string path = data() + "/" + (each.file.empty() ? catalog : each.file);
        SCOPED_TRACE(path);
        const std::string damaged = read_file(path).substr(0, read_file(path).size() / 2);
        write_file(path, damaged);
        const auto before = data_files();
        for (const std::vector<std::string>& reading :
             {std::vector<std::string>{"list", "--no-check"}, {"changes"}, {"options"}}) {
            const CliProcess::Result result = cli(reading);
            EXPECT_EQ(result.status, 0) << reading.front() << ": " << result.err;
            EXPECT_NE(result.err.find("warning: " + each.warning), std::string::npos) << result.err;
            EXPECT_EQ(data_files(), before) << reading.front();
        }

        const CliProcess::Result changed = cli({"group", "add", "G" + std::to_string(++group)});
        EXPECT_EQ(changed.status, 0) << changed.err;
        const std::string copy = path + (each.file.empty() ? ".damaged.2" : ".damaged");
        EXPECT_NE(changed.err.find("kept as " + copy), std::string::npos) << changed.err;
        EXPECT_EQ(read_file(copy), damaged);
        EXPECT_EQ(cli({"list", "--no-check"}).err, "");
    }
    EXPECT_EQ(read_file(data() + "/" + catalog + ".damaged"), "an older copy");
    EXPECT_EQ(json({"list", "--no-check"}).at(0)["name"], "T");
}

}  // namespace
}  // namespace tovan::test
