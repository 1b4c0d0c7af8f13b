#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace tovan::test {

// The built ferrovane-cli run as a separate process, as a user or a script runs
// it: its own arguments and environment, stdout and stderr kept apart, its exit
// status. A process still running when the object goes is killed.
class CliProcess {
public:
    struct Result {
        int status = -1;  // the exit status, or 128 + the signal that ended it
        std::string out;
        std::string err;
    };

    // environment: variables set or replaced for the process; program: another
    // built program to run instead (the desktop program).
    explicit CliProcess(const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment = {},
                        const std::string& program = FERROVANE_CLI);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    static Result run(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {});

    pid_t pid() const { return pid_; }
    void signal(int number) const;
    // Waits until stderr holds the text; false when 10 s went by without it.
    bool wait_for_err(const std::string& text) const;
    // Waits for the end; a command that hangs is killed after 30 s.
    Result finish();

private:
    TempFolder output_;  // "out" and "err"
    pid_t pid_ = -1;
};

}  // namespace tovan::test
