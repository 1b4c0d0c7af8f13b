#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// options [KEY [VALUE]]: every option, one option, or setting one. An option is
// named as in Options::fields(), or by its old name.
class OptionsCommand {
public:
    explicit OptionsCommand(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void run();
    void show(const Options& options, const OptionField& field) const;

    CommandContext& context_;
    std::string key_;
    std::string value_;
    bool has_value_ = false;
};

}  // namespace tovan::cli
