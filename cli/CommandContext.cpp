#include "cli/CommandContext.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <utility>

#include "cli/CliError.h"

namespace tovan::cli {

void CommandContext::on(CLI::App* command, std::function<void()> run) {
    command->callback([this, run = std::move(run)] {
        if (!action_)
            action_ = run;
    });
}

bool CommandContext::run_action() const {
    if (!action_)
        return false;
    action_();
    return true;
}

std::string CommandContext::path(const std::string& given) const {
    if (given.empty() || given.front() == '/')
        return given;
    const std::filesystem::path base = working_folder.empty()
                                           ? std::filesystem::current_path()
                                           : std::filesystem::path(working_folder);
    return (base / given).lexically_normal().string();
}

std::string CommandContext::input(const std::string& key, const std::function<std::string()>& ask) {
    const auto known = inputs_.find(key);
    if (known != inputs_.end())
        return known->second;
    // The holder's terminal is not the user's: what the client did not ask before
    // it sent the command cannot be asked here.
    if (holder)
        throw CliError("the running Ferrovane can't ask for the " + key +
                       "; run the command again when it is stopped");
    return inputs_[key] = ask();
}

bool CommandContext::go_on() {
    // Done also when it raises: it is not called again.
    std::function<bool()> rest = std::exchange(rest_, {});
    if (rest())
        return true;
    rest_ = std::move(rest);
    return false;
}

std::unique_ptr<Session> CommandContext::open(Session::Access access) const {
    if (holder)
        return std::make_unique<Session>(*holder);
    return std::make_unique<Session>(data_dir, access);
}

}  // namespace tovan::cli
