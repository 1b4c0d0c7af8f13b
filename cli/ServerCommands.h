#pragma once

#include <string>

#include "cli/CommandContext.h"
#include "engine/catalog/TlsTrust.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// add, remove and depth: the commands that shape the servers tree.
class ServerCommands {
public:
    explicit ServerCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    struct AddArguments {
        std::string place;
        std::string group;
        std::string name;
        bool name_given = false;  // an empty --name is refused, not taken as none
        std::string depth;
        std::string connections;
        std::string delay = "0";
        bool active = false;
        bool password_stdin = false;
        std::string trust_certificate;
        std::string ca_file;
        bool accept_host_key = false;
    };

    void add();
    std::string place_with_password();
    TlsTrust trust_given() const;
    void remove();
    void set_depth();

    CommandContext& context_;
    AddArguments add_;
    std::string target_;
    std::string depth_value_;
};

}  // namespace tovan::cli
