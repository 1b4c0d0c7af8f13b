#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// export and import: a server or group with its settings and whole catalogs in
// one ".srv" file, to move it to another installation or keep it aside.
class TransferCommands {
public:
    explicit TransferCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void export_node();
    void import_file();

    CommandContext& context_;
    std::string name_;
    std::string file_;
    std::string group_;
};

}  // namespace tovan::cli
