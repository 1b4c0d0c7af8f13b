#pragma once

#include <string>
#include <vector>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// help [COMMAND...]: what --help prints, for the program or for a command.
class HelpCommand {
public:
    explicit HelpCommand(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void run(const CLI::App& app) const;

    CommandContext& context_;
    std::vector<std::string> words_;
};

}  // namespace tovan::cli
