#include "cli/CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <system_error>

#include "support/WaitUntil.h"

extern char** environ;

namespace tovan::test {

// env(1) sets the variables and then becomes the command, under the same pid.
CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment,
                       const std::string& program) {
    std::vector<std::string> words = {"/usr/bin/env"};
    for (const auto& [name, value] : environment) words.push_back(name + "=" + value);
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string out = output_.file("out"), err = output_.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::system_error(failed, std::generic_category(), program + " can't be started");
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
    return wait_until(
        [&] { return read_file(output_.file("err")).find(text) != std::string::npos; },
        std::chrono::seconds(10));
}

CliProcess::Result CliProcess::finish() {
    Result result;
    int status = 0;
    if (!wait_until([&] { return ::waitpid(pid_, &status, WNOHANG) != 0; },
                    std::chrono::seconds(30))) {
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
