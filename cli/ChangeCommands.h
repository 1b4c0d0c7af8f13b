#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// changes and unmark: what the scans marked, and marking it viewed.
class ChangeCommands {
public:
    explicit ChangeCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void list_changes();
    void unmark();

    CommandContext& context_;
    std::string scope_;
    std::string target_;
};

}  // namespace tovan::cli
