#include "cli/HostKeyQuestion.h"

#include <optional>

#include "app/DataFolder.h"
#include "cli/CliError.h"
#include "cli/CommandContext.h"
#include "cli/PasswordPrompt.h"
#include "engine/catalog/Server.h"
#include "engine/sftp/SftpHostKeys.h"

namespace tovan::cli {
namespace {

std::string host_of(const Server& server) {
    const FtpSettings& ftp = server.ftp();
    return ftp.port == 22 ? ftp.host : ftp.host + ":" + std::to_string(ftp.port);
}

// The fingerprint of a key to be accepted; empty when it is known or the
// server can't be reached now (the scan then says why). A changed key ends here.
std::string unknown_fingerprint(const Server& server) {
    ReachFailure failure;
    const std::string offered = SftpHostKeys::unknown_fingerprint(server, failure);
    if (failure.kind == ReachFailure::Kind::HostKeyChanged)
        throw CliError(failure.text());
    return offered;
}

// Empty when there is no terminal to ask on.
std::optional<bool> user_accepts(const Server& server, const std::string& offered) {
    return PasswordPrompt::confirm("the host key of " + host_of(server) +
                                   " is not known yet: " + offered + "\nAccept it?");
}

}  // namespace

std::string HostKeyQuestion::ask_for_add(CommandContext& context, const Server& server,
                                         bool accepted_beforehand) {
    if (server.kind() != ServerKind::Sftp)
        return {};
    return context.input("host key", [&] {
        // The data folder is not open yet; its known hosts are only read.
        SftpHostKeys::use_folder(DataFolder::choose(DataFolder::process_sources(context.data_dir)));
        const std::string offered = unknown_fingerprint(server);
        if (offered.empty() || accepted_beforehand)
            return offered;
        const std::optional<bool> accepted = user_accepts(server, offered);
        if (!accepted)
            throw CliError("the host key of " + host_of(server) + " is not known yet (" + offered +
                           "): check this fingerprint with the server's administrator, then "
                           "pass --accept-host-key");
        if (!*accepted)
            throw CliError("the host key of " + host_of(server) +
                           " was not accepted; nothing was added");
        return offered;
    });
}

std::string HostKeyQuestion::ask_for_trust(const Server& server, const std::string& name,
                                           const std::string& given) {
    ReachFailure failure;
    const std::string offered = SftpHostKeys::unknown_fingerprint(server, failure);
    if (failure.kind == ReachFailure::Kind::HostKeyChanged)
        throw CliError(failure.text());
    // The key is checked before the login, so a refused login means it is known.
    if (offered.empty() && (failure.kind == ReachFailure::Kind::None ||
                            failure.kind == ReachFailure::Kind::LoginRefused))
        throw CliError(name + "'s host key is accepted already");
    if (offered.empty())
        throw CliError("can't reach " + name + ": " + failure.text());
    if (!given.empty()) {
        if (given != offered)
            throw CliError(name + " offers the host key " + offered + ", not the one given (" +
                           given + "): nothing was accepted");
        return given;
    }
    const std::optional<bool> accepted = user_accepts(server, offered);
    if (!accepted)
        throw CliError(failure.text() + " (no terminal to ask on: give the fingerprint)");
    if (!*accepted)
        throw CliError("not accepted: " + name + " stays as it was");
    return offered;
}

void HostKeyQuestion::ask_for_sync(const Server& server) {
    if (server.kind() != ServerKind::Sftp || !PasswordPrompt::has_terminal())
        return;
    // A changed key is left to the scan, which reports it beside the other servers.
    ReachFailure failure;
    const std::string offered = SftpHostKeys::unknown_fingerprint(server, failure);
    if (!offered.empty() && user_accepts(server, offered).value_or(false))
        store(server, offered);
}

void HostKeyQuestion::store(const Server& server, const std::string& fingerprint) {
    ReachFailure failure;
    if (fingerprint.empty() || SftpHostKeys::trust(server, fingerprint, failure))
        return;
    throw CliError(failure.text());
}

}  // namespace tovan::cli
