#pragma once

#include <memory>
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
// system's authorities: one trusted by its fingerprint, or a CA file; for an
// SFTP server, its host key.
class TrustCommands {
public:
    explicit TrustCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);
    // Input checks that add shares: a fingerprint in the stored form, or an
    // existing CA file from the user's working folder; CliError otherwise.
    static std::string checked_fingerprint(const std::string& text, const std::string& option);
    static std::string checked_ca_file(const CommandContext& context, const std::string& text);
    // The fingerprint of the certificate `server` offers, to be trusted: the one
    // given when it matches, else as the user answers on the terminal; empty when
    // the certificate is trusted already. CliError when it is not to be trusted.
    static std::string accepted_fingerprint(const CommandContext& context,
                                            const std::string& server, const std::string& given);
    static std::string accepted_fingerprint(const Server& server, const std::string& name,
                                            const std::string& given);

private:
    void trust();
    // The server named, read once for the kind and the question both.
    const Server& named_server();
    void trust_host_key();

    CommandContext& context_;
    std::string server_;
    std::string fingerprint_;
    std::string ca_file_;
    bool forget_ = false;
    std::unique_ptr<Session> read_;
};

}  // namespace tovan::cli
