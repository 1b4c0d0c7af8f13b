#pragma once

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// list: the servers tree with each server's state, catalog counts and sizes.
class ListCommand {
public:
    explicit ListCommand(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void run();
    void show(const TreeEntry& node, const std::string& group, int level) const;
    void show_server(const TreeEntry& node, const std::string& group, int level) const;

    CommandContext& context_;
    bool no_check_ = false;
};

}  // namespace tovan::cli
