#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <thread>

#include "app/DataFolder.h"
#include "app/HolderConnection.h"
#include "cli/CliFixture.h"

namespace tovan::test {
namespace {

// A running watch as the holder of the sandbox's data folder, and the commands
// other ferrovane-cli processes send it.
class HolderSocket : public CliFixture {
protected:
    void SetUp() override {
        put("a/one.txt", "1");
        ok({"add", tree(), "--name", "T"});
        watch_.emplace(with_data({"watch"}));
        ASSERT_TRUE(watch_->wait_for_err("scanned T")) << watch_->finish().err;
    }
    void TearDown() override {
        if (!watch_)
            return;
        watch_->signal(SIGINT);
        expect_exit(watch_->finish(), 0, "everything is saved");
    }
    std::string socket() const { return data() + "/ferrovane.sock"; }

    std::optional<CliProcess> watch_;
};

// What the holder changed is in its own catalog: the save at its stop would
// bring the marks back otherwise.
TEST_F(HolderSocket, ChangingCommandsTakeEffectInTheWatcherAndSurviveItsStop) {
    put("a/two.txt", "2");
    EXPECT_NE(ok({"sync", "T"}).find("+ T/a/two.txt"), std::string::npos);
    ok({"unmark", "T"});
    ok({"depth", "T", "2"});
    ok({"add", tree() + "/a", "--name", "A"});
    TearDown();
    watch_.reset();
    EXPECT_TRUE(json({"changes"}).empty());
    const std::vector<nlohmann::json> servers = json({"list"});
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0]["depth"], "2");
    EXPECT_EQ(servers[1]["url"], tree() + "/a/");
}

TEST_F(HolderSocket, TwoClientsAtOnceAreBothServed) {
    CliProcess first(with_data({"group", "add", "G1"}));
    CliProcess second(with_data({"group", "add", "G2"}));
    EXPECT_EQ(first.finish().status, 0);
    EXPECT_EQ(second.finish().status, 0);
    EXPECT_NE(ok({"list"}).find("G2/"), std::string::npos);
}

// A server that takes the connection and never greets keeps the sync waiting.
TEST_F(HolderSocket, ClientKilledWhileItsSyncWaitsLeavesTheHolderServing) {
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), length), 0);
    ::listen(silent, 4);
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    ok({"add", "ftp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/", "--name",
        "Slow"});
    CliProcess sync(with_data({"sync", "Slow"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sync.signal(SIGKILL);
    EXPECT_EQ(sync.finish().status, 128 + SIGKILL);
    ok({"group", "add", "G"});
    ::close(silent);
}

TEST_F(HolderSocket, SocketOfAnotherUserIsRefused) {
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(socket().c_str(), 65534, 65534), 0);
        expect_exit(cli({"group", "add", "G"}), 1, "belongs to user 65534");
        return;
    }
    std::string error;
    EXPECT_FALSE(HolderConnection::connect(socket(), ::getuid() + 1, error));
    EXPECT_NE(error.find("not to you"), std::string::npos) << error;
}

// A holder of another version is a fault a real holder of this build cannot
// show: the test holds the folder and answers as one.
using HolderOfAnotherVersion = CliFixture;

TEST_F(HolderOfAnotherVersion, IsNamedWithBothVersions) {
    DataFolder folder;
    ASSERT_TRUE(folder.open(data()));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = folder.path() + "ferrovane.sock";
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::listen(listener, 1);
    CliProcess client(with_data({"group", "add", "G"}));
    HolderConnection holder(::accept(listener, nullptr, nullptr));
    EXPECT_TRUE(holder.read_line());
    holder.send_line(R"({"protocol":2,"pid":123})");
    expect_exit(client.finish(), 1,
                "the running Ferrovane (process 123) speaks protocol 2 and this "
                "ferrovane-cli speaks protocol 1");
    ::close(listener);
}

}  // namespace
}  // namespace tovan::test
