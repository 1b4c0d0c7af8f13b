#include "engine/sftp/SftpSession.h"

#include <sys/socket.h>

#include <fstream>
#include <memory>
#include <utility>

#include "engine/sftp/SftpHostKeys.h"

namespace tovan {
namespace {

using Kind = ReachFailure::Kind;

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

struct KeyDeleter {
    void operator()(ssh_key key) const { ssh_key_free(key); }
};
using Key = std::unique_ptr<ssh_key_struct, KeyDeleter>;

std::string fingerprint_of(ssh_key key) {
    unsigned char* hash = nullptr;
    std::size_t length = 0;
    if (key == nullptr || ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length))
        return {};
    char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
    ssh_clean_pubkey_hash(&hash);
    std::string fingerprint = text != nullptr ? text : "";
    ssh_string_free_char(text);
    return fingerprint;
}

// "[host]:port" as known_hosts names a host on another port than 22.
std::string host_pattern(const SftpSession::Settings& settings) {
    if (settings.port == 22)
        return settings.host;
    return "[" + settings.host + "]:" + std::to_string(settings.port);
}

// The key a known_hosts file holds for the host; libssh tells only that it differs.
std::string stored_fingerprint(const std::string& file, const std::string& pattern) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        ssh_knownhosts_entry* entry = nullptr;
        if (ssh_known_hosts_parse_line(pattern.c_str(), line.c_str(), &entry) != SSH_OK)
            continue;
        const std::string fingerprint = fingerprint_of(entry->publickey);
        ssh_knownhosts_entry_free(entry);
        return fingerprint;
    }
    return {};
}

}  // namespace

SftpSession::SftpSession(Settings settings, AnswerSink answers)
    : settings_(std::move(settings)), answers_(std::move(answers)) {}

SftpSession::~SftpSession() {
    if (sftp_ != nullptr)
        sftp_free(sftp_);
    if (ssh_ != nullptr) {
        ssh_disconnect(ssh_);
        ssh_free(ssh_);
    }
}

void SftpSession::log(const std::string& line) const {
    std::lock_guard guard(answers_lock_);
    if (answers_)
        answers_(line);
}

SftpSession::AnswerSink SftpSession::set_answer_sink(AnswerSink sink) {
    std::lock_guard guard(answers_lock_);
    return std::exchange(answers_, std::move(sink));
}

bool SftpSession::handshake(ReachFailure& failure) {
    ssh_ = ssh_new();
    if (ssh_ == nullptr) {
        failure = ReachFailure(Kind::Other, {}, {}, "no SSH session could be made");
        return false;
    }
    const int port = static_cast<int>(settings_.port);
    const long timeout_seconds = 30;
    const bool no = false;
    const std::string own = SftpHostKeys::own_file();
    const std::string user = SftpHostKeys::user_file();
    // The user's ~/.ssh/config is not read: the server's record says where to go.
    ssh_options_set(ssh_, SSH_OPTIONS_PROCESS_CONFIG, &no);
    ssh_options_set(ssh_, SSH_OPTIONS_HOST, settings_.host.c_str());
    ssh_options_set(ssh_, SSH_OPTIONS_PORT, &port);
    ssh_options_set(ssh_, SSH_OPTIONS_TIMEOUT, &timeout_seconds);
    if (!settings_.login.empty())
        ssh_options_set(ssh_, SSH_OPTIONS_USER, settings_.login.c_str());
    const std::string folder = user.substr(0, user.rfind('/'));
    ssh_options_set(ssh_, SSH_OPTIONS_SSH_DIR, folder.c_str());
    ssh_options_set(ssh_, SSH_OPTIONS_KNOWNHOSTS, (own.empty() ? user : own).c_str());
    ssh_options_set(ssh_, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, user.c_str());
    if (ssh_connect(ssh_) != SSH_OK) {
        failure = connect_failure();
        log(ssh_get_error(ssh_));
        return false;
    }
    socket_ = ssh_get_fd(ssh_);
    log("connected to " + host_pattern(settings_) + " (" +
        std::string(ssh_get_serverbanner(ssh_) != nullptr ? ssh_get_serverbanner(ssh_) : "") + ")");
    return true;
}

ReachFailure SftpSession::connect_failure() const {
    const std::string text = ssh_get_error(ssh_);
    if (contains(text, "refused"))
        return ReachFailure(Kind::ConnectionRefused);
    if (contains(text, "resolve"))
        return ReachFailure(Kind::UnknownName);
    if (contains(text, "imeout") || contains(text, "timed out") || contains(text, "unreachable"))
        return ReachFailure(Kind::NoAnswer);
    return ReachFailure(Kind::Other, {}, {}, text);
}

bool SftpSession::open(ReachFailure& failure) {
    return handshake(failure) && check_host_key(failure) && log_in(failure) && start_sftp(failure);
}

std::string SftpSession::offered_fingerprint() const {
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(ssh_, &key) != SSH_OK)
        return {};
    const Key owned(key);
    return fingerprint_of(key);
}

std::string SftpSession::known_hosts_line() const {
    char* line = nullptr;
    if (ssh_session_export_known_hosts_entry(ssh_, &line) != SSH_OK)
        return {};
    std::string text = line;
    ssh_string_free_char(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

bool SftpSession::check_host_key(ReachFailure& failure) {
    const std::string offered = offered_fingerprint();
    log("host key " + offered);
    switch (ssh_session_is_known_server(ssh_)) {
        case SSH_KNOWN_HOSTS_OK:
            return true;
        case SSH_KNOWN_HOSTS_CHANGED:
        case SSH_KNOWN_HOSTS_OTHER: {
            const std::string pattern = host_pattern(settings_);
            failure = ReachFailure(Kind::HostKeyChanged);
            for (const std::string& file : {SftpHostKeys::own_file(), SftpHostKeys::user_file()})
                if (failure.known_key.empty() && !file.empty())
                    failure.known_key = stored_fingerprint(file, pattern);
            failure.offered_key = offered;
            failure.detail =
                "if the server's key was really replaced, remove the line of " +
                host_pattern(settings_) + " from " + SftpHostKeys::own_file() + " or " +
                SftpHostKeys::user_file() + " (ssh-keygen -R '" + host_pattern(settings_) +
                "' -f FILE), then accept the new one: in the window with Edit... on the server, "
                "or by running `ferrovane-cli sync` on a terminal";
            break;
        }
        case SSH_KNOWN_HOSTS_UNKNOWN:
        case SSH_KNOWN_HOSTS_NOT_FOUND:
            failure = ReachFailure(Kind::HostKeyUnknown);
            failure.offered_key = offered;
            break;
        case SSH_KNOWN_HOSTS_ERROR:
            failure =
                ReachFailure(Kind::Other, {}, {},
                             std::string("the known hosts can't be read: ") + ssh_get_error(ssh_));
            break;
    }
    log(failure.kind == Kind::HostKeyChanged ? "host key changed" : "host key not accepted");
    return false;
}

// A stored password first; without one the ssh agent and the keys of ~/.ssh.
bool SftpSession::log_in(ReachFailure& failure) {
    const bool by_password = !settings_.password.empty();
    const int result = by_password
                           ? ssh_userauth_password(ssh_, nullptr, settings_.password.c_str())
                           : ssh_userauth_publickey_auto(ssh_, nullptr, nullptr);
    if (result == SSH_AUTH_SUCCESS) {
        log(std::string("logged in by ") + (by_password ? "password" : "public key"));
        return true;
    }
    if (result == SSH_AUTH_ERROR) {
        failure = ReachFailure(Kind::Other, {}, {}, ssh_get_error(ssh_));
        log(ssh_get_error(ssh_));
        return false;
    }
    failure = ReachFailure(Kind::LoginRefused);
    log(std::string("login refused (") + (by_password ? "password" : "public key") + ")");
    return false;
}

bool SftpSession::start_sftp(ReachFailure& failure) {
    sftp_ = sftp_new(ssh_);
    if (sftp_ == nullptr || sftp_init(sftp_) != SSH_OK) {
        failure = ReachFailure(Kind::Other, {}, {},
                               "the server offers no SFTP: " + std::string(ssh_get_error(ssh_)));
        log(failure.detail);
        return false;
    }
    log("SFTP version " + std::to_string(sftp_server_version(sftp_)));
    return true;
}

void SftpSession::abort() {
    const int socket = socket_.load();
    if (socket >= 0)
        ::shutdown(socket, SHUT_RDWR);
}

int SftpSession::sftp_error() const {
    return sftp_ != nullptr ? sftp_get_error(sftp_) : SSH_FX_CONNECTION_LOST;
}

bool SftpSession::connected() const {
    return ssh_ != nullptr && ssh_is_connected(ssh_) != 0;
}

// SFTP's status names the failure; libssh's words add what it saw.
std::string SftpSession::error_text() const {
    static constexpr const char* Statuses[] = {
        "ok",          "end of file",   "no such file",    "permission denied",    "failure",
        "bad message", "no connection", "connection lost", "operation unsupported"};
    const int status = sftp_error();
    const std::string name = status >= 0 && status < 9 ? Statuses[status] : "unknown status";
    const char* words = ssh_ != nullptr ? ssh_get_error(ssh_) : "";
    return "status " + std::to_string(status) + " (" + name + ")" +
           (words != nullptr && *words != '\0' ? std::string(": ") + words : "");
}

}  // namespace tovan
