#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace tovan::test {

// The built ferrovane-cli run as a separate process, as a user or a script runs
// it: its own arguments and environment, stdout and stderr read apart, its exit
// status. A process still running when the object goes is killed.
class CliProcess {
public:
    struct Result {
        int status = -1;  // the exit status, or 128 + the signal that ended it
        std::string out;
        std::string err;
    };

    // environment: variables set or replaced for the process.
    explicit CliProcess(const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Runs the command to its end.
    static Result run(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {});

    pid_t pid() const { return pid_; }
    void signal(int number) const;
    // Reads output until stderr holds the text or the time is up; false then.
    bool wait_for_err(const std::string& text,
                      std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Reads the rest of the output and waits for the end.
    Result finish();

private:
    // Reads what is there, waiting up to the time; false once both pipes ended.
    bool read_some(std::chrono::milliseconds wait);
    void end_reading();

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    Result result_;
};

}  // namespace tovan::test
