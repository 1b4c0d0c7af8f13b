#include "cli/ChangeHook.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

#include "cli/Output.h"
#include "tovan/log/LogChannels.h"

extern char** environ;

namespace tovan::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds RunLimit{60};
constexpr std::size_t KeptErrorBytes = 400;

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) == 0) {
            read = ends[0];
            write = ends[1];
        }
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void close_read() {
        if (read >= 0)
            ::close(read);
        read = -1;
    }
    void close_write() {
        if (write >= 0)
            ::close(write);
        write = -1;
    }
};

// The command's stdout goes nowhere, so that it never mixes with the changes the
// watch prints; it starts with the signals as a shell expects them.
pid_t spawn_shell(const std::string& command, const Pipe& input, const Pipe& errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors.write, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipe_signal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const char* arguments[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, "/bin/sh", &actions, &attributes,
                                   const_cast<char* const*>(arguments), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// Feeds the input and keeps the start of stderr until both pipes are done or
// the time is up; false when it was.
bool exchange(Pipe& input, Pipe& errors, const std::string& text, std::string& error_text) {
    ::fcntl(input.write, F_SETFL, O_NONBLOCK);
    const Clock::time_point deadline = Clock::now() + RunLimit;
    std::size_t written = 0;
    if (text.empty())
        input.close_write();
    while (errors.read >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fds[2] = {{errors.read, POLLIN, 0}, {input.write, POLLOUT, 0}};
        ::poll(fds, input.write >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (input.write >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t n = ::write(input.write, text.data() + written, text.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            // SIGPIPE is ignored for the whole program: a command that reads
            // nothing only makes the write fail, which is no failure of its.
            if (n < 0 || written == text.size())
                input.close_write();
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[512];
            const ssize_t n = ::read(errors.read, buffer, sizeof buffer);
            if (n <= 0)
                errors.close_read();
            else if (error_text.size() < KeptErrorBytes)
                error_text.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return true;
}

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    return line.size() > KeptErrorBytes ? line.substr(0, KeptErrorBytes) : line;
}

}  // namespace

ChangeHook::ChangeHook(std::string command)
    : command_(std::move(command)), worker_([this] { work(); }) {}

ChangeHook::~ChangeHook() {
    {
        std::lock_guard guard(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void ChangeHook::add(std::string line) {
    pending_.push_back(std::move(line));
}

void ChangeHook::run() {
    if (pending_.empty())
        return;
    std::string input;
    for (const std::string& line : pending_) input += line + "\n";
    pending_.clear();
    {
        std::lock_guard guard(lock_);
        inputs_.push_back(std::move(input));
    }
    wake_.notify_all();
}

void ChangeHook::report() {
    std::vector<std::string> problems;
    {
        std::lock_guard guard(lock_);
        problems.swap(problems_);
    }
    for (const std::string& problem : problems) Output::note(problem);
}

// Runs that are still queued when the watch stops are dropped with it.
void ChangeHook::work() {
    std::unique_lock guard(lock_);
    while (true) {
        wake_.wait(guard, [this] { return quit_ || !inputs_.empty(); });
        if (quit_)
            return;
        const std::string input = std::move(inputs_.front());
        inputs_.pop_front();
        guard.unlock();
        std::string problem = run_once(input);
        guard.lock();
        if (!problem.empty()) {
            error_log(1) << problem << std::endl;
            problems_.push_back(std::move(problem));
        }
    }
}

// Empty when the command ran and succeeded, else what went wrong.
std::string ChangeHook::run_once(const std::string& input) const {
    const std::string what = "--on-change command `" + command_ + "`";
    Pipe stdin_pipe;
    Pipe stderr_pipe;
    if (stdin_pipe.read < 0 || stderr_pipe.read < 0)
        return what + " could not be started: no pipes left";
    const pid_t pid = spawn_shell(command_, stdin_pipe, stderr_pipe);
    if (pid < 0)
        return what + " could not be started: /bin/sh failed to run";
    stdin_pipe.close_read();
    stderr_pipe.close_write();
    std::string errors;
    const bool in_time = exchange(stdin_pipe, stderr_pipe, input, errors);
    if (!in_time)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string said = errors.empty() ? "" : ": " + first_line(errors);
    if (!in_time)
        return what + " was stopped after " + std::to_string(RunLimit.count()) + " s" + said;
    if (WIFSIGNALED(status))
        return what + " was ended by signal " + std::to_string(WTERMSIG(status)) + said;
    if (WEXITSTATUS(status) != 0)
        return what + " failed with exit status " + std::to_string(WEXITSTATUS(status)) + said;
    return {};
}

}  // namespace tovan::cli
