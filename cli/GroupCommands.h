#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// group add, list, rename and remove, and rename of a server: the names in the
// servers tree.
class GroupCommands {
public:
    explicit GroupCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void add();
    void list();
    void rename_group();
    void remove();
    void rename_server();

    CommandContext& context_;
    std::string name_;
    std::string new_name_;
    std::string parent_group_;
    bool with_servers_ = false;
};

}  // namespace tovan::cli
