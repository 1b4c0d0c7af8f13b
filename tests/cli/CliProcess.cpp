#include "cli/CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tovan::test {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
    std::vector<std::string> argv_texts = {FERROVANE_CLI};
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env_texts;
    for (char** each = environ; *each != nullptr; ++each)
        if (environment.count(std::string(*each, std::strcspn(*each, "="))) == 0)
            env_texts.emplace_back(*each);
    for (const auto& [name, value] : environment) env_texts.push_back(name + "=" + value);
    std::vector<char*> argv = pointers(argv_texts), envp = pointers(env_texts);
    const std::string out = output_.file("out"), err = output_.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        pid_ = -1;
        throw std::runtime_error(std::string("ferrovane-cli can't be started: ") +
                                 std::strerror(failed));
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

CliProcess::Result CliProcess::run(const std::vector<std::string>& arguments,
                                   const std::map<std::string, std::string>& environment) {
    return CliProcess(arguments, environment).finish();
}

void CliProcess::signal(int number) const {
    if (pid_ > 0)
        ::kill(pid_, number);
}

bool CliProcess::wait_for_err(const std::string& text) const {
    for (const auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
        if (read_file(output_.file("err")).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

CliProcess::Result CliProcess::finish() {
    Result result;
    int status = 0;
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        result.err = "[killed: still running after 30 s]\n";
    }
    pid_ = -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = read_file(output_.file("out"));
    result.err = read_file(output_.file("err")) + result.err;
    return result;
}

}  // namespace tovan::test
