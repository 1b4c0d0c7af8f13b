#include "cli/CommandContext.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <utility>

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
