#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// search: finds catalog entries by masks over their paths, without touching the
// servers (except to learn which are online, with --online).
class SearchCommand {
public:
    explicit SearchCommand(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void run();
    float min_size_mb() const;

    CommandContext& context_;
    std::string masks_;
    std::string scope_;
    std::string min_size_;
    bool print0_ = false;
    bool changed_ = false;
    bool directories_ = false;
    bool online_ = false;
};

}  // namespace tovan::cli
