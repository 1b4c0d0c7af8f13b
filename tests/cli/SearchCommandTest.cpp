#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"

namespace tovan::test {
namespace {

class SearchCommand : public CliFixture {
protected:
    std::set<std::string> found(const std::vector<std::string>& arguments) const {
        std::vector<std::string> search = {"search"};
        search.insert(search.end(), arguments.begin(), arguments.end());
        std::set<std::string> names;
        for (const nlohmann::json& result : json(search))
            names.insert(result["name"].get<std::string>());
        return names;
    }
};

TEST_F(SearchCommand, FindsByMasksSizeScopeAndChangeMark) {
    const std::string megabyte(1048576, 'x');
    put("films/big.mkv", megabyte);
    put("films/small.mkv", "x");
    put("docs/a.avi", megabyte);
    put("docs/readme.txt", "r");
    ok({"add", tree(), "--name", "T"});
    ok({"sync"});
    ok({"unmark", "T"});
    put("docs/new.avi", "n");
    ok({"sync"});

    EXPECT_EQ(found({"*.mkv, *.avi", "--min-size", "1"}),
              (std::set<std::string>{"T/films/big.mkv", "T/docs/a.avi"}));
    EXPECT_EQ(found({"avi", "--in", "T/docs"}),
              (std::set<std::string>{"T/docs/a.avi", "T/docs/new.avi"}));
    EXPECT_EQ(found({"", "--changed"}), std::set<std::string>{"T/docs/new.avi"});
    EXPECT_EQ(found({"films", "--dirs", "--in", "T/films"}),
              (std::set<std::string>{"T/films/", "T/films/big.mkv", "T/films/small.mkv"}));
}

TEST_F(SearchCommand, OnlineLeavesOutAServerThatIsGone) {
    put("local/a.txt", "a");
    put("remote/b.txt", "b");
    ok({"add", tree() + "/local", "--name", "L"});
    auto options = FtpServer::Options();
    options.root = tree() + "/remote";
    auto server = std::make_unique<FtpServer>(options);
    ok({"add", "ftp://127.0.0.1:" + std::to_string(server->port()) + "/", "--name", "F"});
    ok({"sync"});
    server.reset();

    EXPECT_EQ(found({"txt"}), (std::set<std::string>{"L/a.txt", "F/b.txt"}));
    EXPECT_EQ(found({"txt", "--online"}), std::set<std::string>{"L/a.txt"});
    EXPECT_EQ(json({"list"}).at(1)["state"], "offline");
}

}  // namespace
}  // namespace tovan::test
