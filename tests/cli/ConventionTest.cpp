#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

// A command, the exit status and what stderr says.
using Case = std::tuple<std::vector<std::string>, int, std::string>;

class Conventions : public CliFixture {
protected:
    // Each case gives one line on stderr and nothing on stdout.
    void expect_cases(const std::vector<Case>& cases) const {
        for (const auto& [arguments, status, says] : cases) {
            const CliProcess::Result result = cli(arguments);
            expect_exit(result, status, says);
            EXPECT_EQ(result.out, "") << arguments.front();
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
    }
    // The command with its stdout on /dev/full, or on a pipe whose reader is gone.
    CliProcess::Result with_stdout(const std::string& kind,
                                   const std::vector<std::string>& arguments) const {
        std::vector<std::string> words = {"-c",
                                          "import os, sys\n"
                                          "if sys.argv[1] == 'full':\n"
                                          "    out = os.open('/dev/full', os.O_WRONLY)\n"
                                          "else:\n"
                                          "    reader, out = os.pipe()\n"
                                          "    os.close(reader)\n"
                                          "os.dup2(out, 1)\n"
                                          "os.execv(sys.argv[2], sys.argv[2:])\n",
                                          kind, FERROVANE_CLI};
        const std::vector<std::string> command = with_data(arguments);
        words.insert(words.end(), command.begin(), command.end());
        return CliProcess(words, {}, "/usr/bin/python3").finish();
    }
};

TEST_F(Conventions, UsageErrorsNameTheOptionAndWhatItTakes) {
    expect_cases({
        {{"jobs", "resume", "abc"}, 2, "abc is not a job number: give the number that"},
        {{"jobs", "again", "1", "--tries", "many"}, 2, "--tries takes a whole number"},
        {{"add", tree(), "--connections", "101"}, 2, "--connections takes 1 to 100 or auto"},
        {{"add", tree(), "--delay", "soon"}, 2, "--delay takes 0 to 3600000 milliseconds"},
        {{"search", "x", "--min-size", "1Q"},
         2,
         "--min-size takes megabytes, or a size with B, K, M, G or T"},
        {{"search", "x", "--frob"}, 2, "`ferrovane-cli search` has no option --frob"},
        {{"search", "x", "-0", "--json"}, 2, "--print0 and --json can't be used together"},
        {{"remove"}, 2, "`ferrovane-cli remove` needs NAME: server or group"},
        {{"remove", "a", "b"}, 2, "\"b\" is one argument too many for `ferrovane-cli remove`"},
        {{"download", "http://host/f", "--to"}, 2, "--to needs a value: folder to download"},
        {{"group"}, 2, "`ferrovane-cli group` needs one of its commands: add, list, rename"},
        {{"group", "frob"}, 2, "there is no command `ferrovane-cli group frob`"},
        {{"help", "jobs", "frob"}, 2, "there is no command `ferrovane-cli jobs frob`"},
    });
}

TEST_F(Conventions, VersionAndHelpAnswerOnStdout) {
    EXPECT_TRUE(ok({"--version"}).starts_with("ferrovane-cli "));
    EXPECT_EQ(ok({"help"}), ok({"--help"}));
    EXPECT_EQ(ok({"help", "jobs", "resume"}), ok({"jobs", "resume", "--help"}));
}

TEST_F(Conventions, GroupsAndServersAreListedRenamedAndRemoved) {
    put("a.txt", "a");
    ok({"group", "add", "nas"});
    ok({"group", "add", "sub", "--group", "nas"});
    ok({"add", tree(), "--name", "T", "--group", "sub"});
    ok({"add", tree(), "--name", "U"});
    const auto listed = json({"group", "list"});
    EXPECT_EQ(listed, (std::vector<nlohmann::json>{{{"group", "nas"}, {"servers", 1}},
                                                   {{"group", "nas/sub"}, {"servers", 1}}}));

    expect_cases({
        {{"rename", "T", "U"}, 1, "a server or group named \"U\" exists already"},
        {{"rename", "nas", "x"}, 1, "rename takes a server"},
        {{"rename", "T", "a/b"}, 2, "holds \"/\""},
        {{"group", "rename", "T", "x"}, 1, "\"T\" is not a group"},
        {{"group", "remove", "nas"}, 1, "holds 1 server; add --with-servers"},
    });
    ok({"rename", "T", "films"});
    ok({"group", "rename", "nas/sub", "shows"});
    EXPECT_EQ(json({"list", "--no-check"}).at(2)["name"], "films");
    EXPECT_EQ(json({"group", "list"}).at(1)["group"], "nas/shows");
    ok({"group", "remove", "nas", "--with-servers"});
    EXPECT_EQ(json({"list", "--no-check"}).size(), 1u);
}

// Shell completion reads the names without making the data folder, and beside
// a damaged server list it says so instead of printing none.
TEST_F(Conventions, ListNamesPrintsEachGroupAndServerAndNothingWithoutData) {
    EXPECT_EQ(ok({"list", "--names"}), "");
    EXPECT_FALSE(std::filesystem::exists(data()));
    put("a.txt", "a");
    ok({"group", "add", "nas"});
    ok({"add", tree(), "--name", "films", "--group", "nas"});
    ok({"add", tree(), "--name", "top"});
    const auto before = data_files();
    EXPECT_EQ(ok({"list", "--names"}), "nas\nfilms\ntop\n");
    EXPECT_EQ(data_files(), before);
    write_file(data() + "/servers.dat", "damaged");
    std::filesystem::remove(data() + "/prev_servers.dat");
    expect_exit(cli({"list", "--names"}), 1, "the server list in");
}

TEST_F(Conventions, SearchFindingNothingPrintsNothingAndFails) {
    put("a.txt", std::string(2048, 'a'));
    put("b.txt", "b");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    for (const char* flag : {"--changed", "--json"}) {
        const CliProcess::Result none = cli({"search", "*.mkv", flag});
        EXPECT_EQ(std::tie(none.status, none.out, none.err), std::make_tuple(1, "", ""));
    }
    const std::string found = ok({"search", "*.txt", "--print0"});
    EXPECT_EQ(std::count(found.begin(), found.end(), '\0'), 2);
    EXPECT_EQ(found.find('\n'), std::string::npos);
    EXPECT_NE(found.find("a.txt"), std::string::npos);
    for (const auto& size : {"2K", "2kib", "0.001953125M", "2048B", "0.001953125"})
        EXPECT_EQ(json({"search", "", "--min-size", size}).size(), 1u) << size;
    EXPECT_EQ(cli({"search", "", "--min-size", "2049B"}).status, 1);
}

// A changing command still saves its work when its output can't be written.
TEST_F(Conventions, OutputThatCannotBeWrittenFailsTheCommand) {
    const CliProcess::Result full = with_stdout("full", {"group", "add", "G"});
    expect_exit(full, 1, "can't write the output: No space left on device");
    const CliProcess::Result closed = with_stdout("closed", {"group", "add", "H"});
    EXPECT_EQ(std::tie(closed.status, closed.err), std::make_tuple(1, ""));
    EXPECT_EQ(json({"group", "list"}).size(), 2u);
}

TEST_F(Conventions, OptionsHaveADescriptionAndSayWhichAreForTheDesktop) {
    std::map<std::string, bool> desktop_only;
    for (const nlohmann::json& option : json({"options"})) {
        EXPECT_FALSE(option["description"].get<std::string>().empty()) << option;
        desktop_only[option["key"]] = option["desktop_only"];
    }
    EXPECT_TRUE(desktop_only.at("minimize_to_tray"));
    EXPECT_FALSE(desktop_only.at("synchronize_minutes"));
    EXPECT_NE(ok({"options", "notify_changes"}).find("(desktop program only)"), std::string::npos);
    EXPECT_EQ(ok({"options", "synchronize_minutes"}).find("desktop"), std::string::npos);
}

}  // namespace
}  // namespace tovan::test
