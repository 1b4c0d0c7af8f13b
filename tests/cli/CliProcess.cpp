#include "cli/CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace tovan::test {
namespace {

std::vector<std::string> environment_with(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> variables;
    for (char** each = environ; *each != nullptr; ++each) {
        const std::string variable = *each;
        const std::string name = variable.substr(0, variable.find('='));
        if (changes.count(name) == 0)
            variables.push_back(variable);
    }
    for (const auto& [name, value] : changes) variables.push_back(name + "=" + value);
    return variables;
}

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
    std::vector<std::string> env_texts = environment_with(environment);
    std::vector<char*> argv = pointers(argv_texts);
    std::vector<char*> envp = pointers(env_texts);
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for ferrovane-cli");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
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
    if (out_ >= 0)
        ::close(out_);
    if (err_ >= 0)
        ::close(err_);
}

CliProcess::Result CliProcess::run(const std::vector<std::string>& arguments,
                                   const std::map<std::string, std::string>& environment) {
    return CliProcess(arguments, environment).finish();
}

void CliProcess::signal(int number) const {
    if (pid_ > 0)
        ::kill(pid_, number);
}

bool CliProcess::read_some(std::chrono::milliseconds wait) {
    pollfd ready[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (out_ < 0 && err_ < 0)
        return false;
    if (::poll(ready, 2, static_cast<int>(wait.count())) <= 0)
        return true;
    std::string* targets[2] = {&result_.out, &result_.err};
    int* descriptors[2] = {&out_, &err_};
    for (int at = 0; at < 2; ++at) {
        if (*descriptors[at] < 0 || ready[at].revents == 0)
            continue;
        char buffer[4096];
        const ssize_t count = ::read(*descriptors[at], buffer, sizeof buffer);
        if (count > 0) {
            targets[at]->append(buffer, static_cast<std::size_t>(count));
        } else {
            ::close(*descriptors[at]);
            *descriptors[at] = -1;
        }
    }
    return true;
}

void CliProcess::end_reading() {
    while (read_some(std::chrono::milliseconds(1000))) {
    }
}

bool CliProcess::wait_for_err(const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (result_.err.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= end || !read_some(std::chrono::milliseconds(50)))
            return result_.err.find(text) != std::string::npos;
    }
    return true;
}

// A command that hangs fails its test instead of holding up the suite.
CliProcess::Result CliProcess::finish() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (read_some(std::chrono::milliseconds(100))) {
        if (std::chrono::steady_clock::now() < end)
            continue;
        ::kill(pid_, SIGKILL);
        result_.err += "\n[killed: still running after 30 s]";
        end_reading();
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result_;
}

}  // namespace tovan::test
