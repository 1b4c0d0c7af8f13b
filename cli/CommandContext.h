#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "cli/Output.h"
#include "cli/Session.h"

namespace CLI {
class App;
}

namespace tovan {
class DataHolder;
}

namespace tovan::cli {

// What every command shares: the options given before or after it (--data-dir,
// --json), the output, and the one command the line asked for.
class CommandContext {
public:
    std::string data_dir;
    Output output;
    // The folder that relative paths of the command line start from; empty for
    // this process's own. A command carried out for a client by the process
    // that holds the data folder reads them from the client's folder.
    std::string working_folder;
    // Set when the command runs for a client in the process that holds the data
    // folder: sessions use its live data.
    DataHolder* holder = nullptr;

    // A relative path of the command line made absolute.
    std::string path(const std::string& given) const;

    // What a command asks of the user before it changes anything (a password
    // typed at the terminal), by key: ask is called once, and the answer goes
    // along when the command is carried out by the process that holds the data
    // folder, which then finds it here instead of asking. Ask before open() for
    // a change: from there on the command may be sent away, and the holder raises
    // CliError rather than ask at its own terminal.
    std::string input(const std::string& key, const std::function<std::string()>& ask);
    const std::map<std::string, std::string>& inputs() const { return inputs_; }
    void set_inputs(std::map<std::string, std::string> inputs) { inputs_ = std::move(inputs); }

    // Makes run the action of the command once the whole line is read. The
    // innermost command of a line is chosen ("jobs pause" over "jobs").
    void on(CLI::App* command, std::function<void()> run);
    // Runs the chosen action; false when there is none.
    bool run_action() const;

    // A command run for a client that has to wait for the holder's own work (a
    // sync for its scans) leaves the rest of its work here: it is called on each
    // of the holder's turns until it returns true, and may raise CliError as the
    // action does.
    void go_on_later(std::function<bool()> rest) { rest_ = std::move(rest); }
    bool is_waiting() const { return static_cast<bool>(rest_); }
    // Calls the rest; true once it is done.
    bool go_on();

    // Raises CliError when the data folder cannot be used.
    std::unique_ptr<Session> open(Session::Access access) const;

private:
    std::function<void()> action_;
    std::function<bool()> rest_;
    std::map<std::string, std::string> inputs_;
};

}  // namespace tovan::cli
