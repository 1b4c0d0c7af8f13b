#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "cli/CliFixture.h"
#include "fixtures/FtpServer.h"

namespace tovan::test {
namespace {

// Passwords that never appear on the command line: from stdin, from the
// terminal, or from ~/.netrc.
class FtpPassword : public CliFixture {
protected:
    std::string url(const std::string& login) const {
        return "ftp://" + login + "127.0.0.1:" + std::to_string(ftp.port()) + "/pub/";
    }
    // The command run by a shell that gives it input on stdin first, with no
    // terminal to ask on even when the tests run in one.
    CliProcess::Result fed(const std::string& input,
                           const std::vector<std::string>& arguments) const {
        std::vector<std::string> words = {"-c", "printf '" + input + "' | setsid -w \"$0\" \"$@\"",
                                          FERROVANE_CLI};
        for (const std::string& word : with_data(arguments)) words.push_back(word);
        return CliProcess(words, {}, "/bin/sh").finish();
    }

    FtpServer::Options serving() const {
        put("pub/a.txt", "a");
        return {.root = tree(), .user = "u", .password = "s3cret"};
    }

    const FtpServer ftp{serving()};
};

TEST_F(FtpPassword, IsReadFromStdinOrTheTerminal) {
    const CliProcess::Result added = fed("s3cret\\n", {"add", url("u@"), "--password-stdin"});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out.find("s3cret"), std::string::npos);
    EXPECT_NE(ok({"sync"}).find("a.txt"), std::string::npos);

    // script(1) gives the command a terminal; the password is typed once asked for.
    const std::string keys = sandbox.file("keys");
    ASSERT_EQ(::mkfifo(keys.c_str(), 0600), 0);
    const std::string command =
        std::string(FERROVANE_CLI) + " --data-dir " + data() + " add " + url("u@") + " --name T";
    CliProcess terminal({"-c", "script -qec \"$0\" /dev/null <" + keys + " >&2", command}, {},
                        "/bin/sh");
    std::ofstream(keys) << (terminal.wait_for_err("password for " + url("u@") + ": ") ? "s3cret\n"
                                                                                      : "");
    const CliProcess::Result typed = terminal.finish();
    EXPECT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(typed.err.find("s3cret"), std::string::npos) << "the password was echoed";
    EXPECT_EQ(json({"status", "T"}).at(0)["state"], "online");

    expect_exit(fed("", {"add", url("u@"), "--name", "N"}), 2, "--password-stdin");
    expect_exit(fed("x\\n", {"add", url("u:s3cret@"), "--password-stdin"}), 2,
                "needs a URL with a login and no password");
}

// Ctrl+C at the prompt ends the command as it would anywhere, and the terminal
// echoes again afterwards.
TEST_F(FtpPassword, InterruptedPromptGivesTheEchoBack) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string data_dir = data();
        const std::string login = url("u@");
        ::execl(FERROVANE_CLI, FERROVANE_CLI, "--data-dir", data_dir.c_str(), "add", login.c_str(),
                nullptr);
        ::_exit(127);
    }
    std::string shown;
    char buffer[256];
    while (shown.find("password for") == std::string::npos) {
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        ASSERT_GT(got, 0) << shown;
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    ASSERT_EQ(::write(terminal, "\x03", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    termios after{};
    ASSERT_EQ(::tcgetattr(terminal, &after), 0);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    ::close(terminal);
}

TEST_F(FtpPassword, ComesFromNetrcWhenTheServerHasNone) {
    const std::string home = sandbox.file("home");
    std::filesystem::create_directory(home);
    ok({"add", url(""), "--name", "N"});
    const std::string refused = "the login to " + url("").substr(0, url("").size() - 1);
    for (const auto& [password, status, says] :
         std::vector<std::tuple<std::string, int, std::string>>{{"s3cret", 0, ""},
                                                                {"wrong", 1, refused}}) {
        write_file(home + "/.netrc", "machine 127.0.0.1 login u password " + password + "\n");
        expect_exit(CliProcess::run(with_data({"sync"}), {{"HOME", home}}), status, says);
    }
}

}  // namespace
}  // namespace tovan::test
