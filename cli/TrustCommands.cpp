#include "cli/TrustCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>

#include "app/Document.h"
#include "cli/CliError.h"
#include "cli/HostKeyQuestion.h"
#include "cli/NodeFinder.h"
#include "cli/PasswordPrompt.h"
#include "engine/catalog/Server.h"
#include "engine/connection/Protocols.h"
#include "engine/curl/InternetSession.h"

namespace tovan::cli {
namespace {

// The server of that name; CliError when it names a group or folder.
Server& server_named(Document& document, const std::string& name) {
    const NodeFinder::Target target = NodeFinder(document.servers()).find(name);
    if (!target.node->server || target.entry)
        throw CliError("\"" + name + "\" is no server", CliError::Usage);
    return *target.node->server;
}

}  // namespace

std::string TrustCommands::checked_fingerprint(const std::string& text, const std::string& option) {
    const auto fingerprint = read_fingerprint(text);
    if (!fingerprint)
        throw CliError(option + "\"" + text +
                           "\" is no SHA-256 fingerprint: give SHA256: and 64 hex digits, in "
                           "pairs with colons or not",
                       CliError::Usage);
    return *fingerprint;
}

std::string TrustCommands::checked_ca_file(const CommandContext& context, const std::string& text) {
    const std::string path = context.path(text);
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw CliError("the CA file " + path + " does not exist: give a PEM file or folder");
    return path;
}

void TrustCommands::add_to(CLI::App& app) {
    CLI::App* trust = app.add_subcommand(
        "trust",
        "Trust a server's TLS certificate or SFTP host key, or a CA file, beyond the system's "
        "authorities");
    trust->add_option("server", server_, "Server (none: --ca-file for every server)");
    trust->add_option(
        "fingerprint", fingerprint_,
        "SHA256:... of the certificate or host key to accept (none: ask the server, then you)");
    trust->add_option("--ca-file", ca_file_, "PEM file or folder of the authorities to check by");
    trust->add_flag("--forget", forget_, "Trust the system's authorities alone again");
    context_.on(trust, [this] { this->trust(); });
}

void TrustCommands::trust() {
    if (!server_.empty() && named_server().kind() == ServerKind::Sftp) {
        trust_host_key();
        return;
    }
    if (!fingerprint_.empty())
        fingerprint_ = checked_fingerprint(fingerprint_, "");
    if (!ca_file_.empty())
        ca_file_ = checked_ca_file(context_, ca_file_);
    if (server_.empty() && (!fingerprint_.empty() || (ca_file_.empty() && !forget_)))
        throw CliError("trust takes a server, or --ca-file or --forget alone for every server",
                       CliError::Usage);
    if (!server_.empty() && fingerprint_.empty() && ca_file_.empty() && !forget_)
        fingerprint_ = context_.input(
            "certificate", [this] { return accepted_fingerprint(named_server(), server_, ""); });
    if (!server_.empty() && fingerprint_.empty() && ca_file_.empty() && !forget_)
        throw CliError(server_ + "'s certificate is trusted already");

    read_.reset();
    auto session = context_.open(Session::Access::Change);
    Document& document = session->document();
    CertificateTrust& certificates = document.certificates();
    std::string done;
    if (server_.empty()) {
        certificates.set_ca_file(forget_ ? "" : ca_file_);
        certificates.apply(*document.servers());
        done = forget_ ? "every server: the system's authorities" : "every server: " + ca_file_;
    } else {
        Server& server = server_named(document, server_);
        TlsTrust trust = forget_ ? TlsTrust{} : certificates.of(server);
        if (!fingerprint_.empty())
            trust.fingerprint = fingerprint_;
        if (!ca_file_.empty())
            trust.ca_file = ca_file_;
        certificates.set(server, trust);
        done = server_ + ": " +
               (forget_ ? "the system's authorities"
                        : (trust.fingerprint.empty() ? "" : trust.fingerprint) +
                              (trust.ca_file.empty() || trust.fingerprint.empty() ? "" : ", ") +
                              trust.ca_file);
        server.set_last_error({});
    }
    session->save();
    context_.output.result({{"trusted", done}}, "trusted " + done);
}

// The server is asked which certificate it offers; only a certificate the
// checks refuse is worth a question.
std::string TrustCommands::accepted_fingerprint(const CommandContext& context,
                                                const std::string& server_,
                                                const std::string& given) {
    auto session = context.open(Session::Access::Read);
    return accepted_fingerprint(server_named(session->document(), server_), server_, given);
}

std::string TrustCommands::accepted_fingerprint(const Server& server, const std::string& server_,
                                                const std::string& given) {
    ReachFailure failure;
    if (Protocols::connect(server, InternetSession::shared(), &failure))
        return {};
    if (!failure.is_certificate())
        throw CliError("can't reach " + server_ + ": " + failure.text());
    if (!given.empty()) {
        if (given != failure.certificate.fingerprint)
            throw CliError(server_ + " offers " + failure.certificate.fingerprint +
                           ", not the certificate given (" + given + "): nothing was trusted");
        return given;
    }
    const std::string question =
        (failure.kind == ReachFailure::Kind::CertificateChanged
             ? "The certificate has changed (trusted: " + failure.trusted_fingerprint + ").\n"
             : "") +
        "Subject:     " + failure.certificate.subject +
        "\nIssuer:      " + failure.certificate.issuer +
        "\nValid:       " + failure.certificate.not_before + " to " +
        failure.certificate.not_after + "\nFingerprint: " + failure.certificate.fingerprint +
        "\nTrust this certificate for " + server_ + "?";
    const std::optional<bool> yes = PasswordPrompt::confirm(question);
    if (!yes)
        throw CliError(failure.text() + " (no terminal to ask on: give the fingerprint)");
    if (!*yes)
        throw CliError("not trusted: " + server_ + " stays as it was");
    return failure.certificate.fingerprint;
}

const Server& TrustCommands::named_server() {
    if (!read_)
        read_ = context_.open(Session::Access::Read);
    return server_named(read_->document(), server_);
}

// The key is asked of the server and the user in this process, so that a
// command sent on to the process holding the data folder carries the answer.
void TrustCommands::trust_host_key() {
    if (forget_ || !ca_file_.empty())
        throw CliError(
            server_ + " is an SFTP server: --ca-file and --forget are for TLS certificates",
            CliError::Usage);
    const std::string key = context_.input("host key", [this] {
        return HostKeyQuestion::ask_for_trust(named_server(), server_, fingerprint_);
    });
    read_.reset();
    auto session = context_.open(Session::Access::Change);
    Server& server = server_named(session->document(), server_);
    HostKeyQuestion::store(server, key);
    server.set_last_error({});
    session->save();
    context_.output.result({{"trusted", server_ + ": " + key}}, "trusted " + server_ + ": " + key);
}

}  // namespace tovan::cli
