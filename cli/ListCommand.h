#pragma once

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// list: the servers tree with each server's state, catalog counts and sizes;
// with --names the names alone, for shell completion.
class ListCommand {
public:
    explicit ListCommand(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void run();
    void print_names() const;
    void print_names(const TreeEntry& node) const;
    void show(const TreeEntry& node, const std::string& group, int level) const;
    void show_server(const TreeEntry& node, const std::string& group, int level) const;

    CommandContext& context_;
    bool no_check_ = false;
    bool names_ = false;
};

}  // namespace tovan::cli
