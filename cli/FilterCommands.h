#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// filter list|add|remove: the masks that decide which changes get marked
// ("+" include, "-" exclude, the first that matches decides).
class FilterCommands {
public:
    explicit FilterCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void add_mask_argument(CLI::App& command);
    void take_dashed_mask(CLI::App& command);
    void list();
    void add();
    void remove();

    CommandContext& context_;
    std::string mask_;
};

}  // namespace tovan::cli
