#include "cli/CommandContext.h"

#include <CLI/CLI.hpp>

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

std::unique_ptr<Session> CommandContext::open(Session::Access access) const {
    return std::make_unique<Session>(data_dir, access);
}

}  // namespace tovan::cli
