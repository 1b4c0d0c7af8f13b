#pragma once

#include <string>

#include "cli/CommandContext.h"

namespace CLI {
class App;
}

namespace tovan {
class Server;
}

namespace tovan::cli {

// trust: which TLS certificates a server is accepted with, beyond the
// system's authorities: one trusted by its fingerprint, or a CA file.
class TrustCommands {
public:
    explicit TrustCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    void trust();
    // The fingerprint to trust, asked of the server and then of the user.
    std::string offered_fingerprint();

    CommandContext& context_;
    std::string server_;
    std::string fingerprint_;
    std::string ca_file_;
    bool forget_ = false;
};

}  // namespace tovan::cli
