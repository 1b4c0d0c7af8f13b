#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/Output.h"
#include "cli/Session.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// What every command shares: the options given before or after it (--data-dir,
// --json), the output, and the one command the line asked for.
class CommandContext {
public:
    std::string data_dir;
    Output output;

    // Makes run the action of the command once the whole line is read. The
    // innermost command of a line is chosen ("jobs pause" over "jobs").
    void on(CLI::App* command, std::function<void()> run);
    // Runs the chosen action; false when there is none.
    bool run_action() const;

    // Raises CliError when the data folder cannot be used.
    std::unique_ptr<Session> open(Session::Access access) const;

private:
    std::function<void()> action_;
};

}  // namespace tovan::cli
