#include "engine/sftp/SftpHostKeys.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "engine/catalog/Server.h"
#include "engine/sftp/SftpSession.h"
#include "tovan/Paths.h"
#include "tovan/SafeSave.h"

namespace tovan {
namespace {

constexpr const char* OwnName = "known_hosts";

struct Store {
    std::mutex lock;
    std::string folder;
};

Store& store() {
    static Store keys;
    return keys;
}

std::string home_folder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr ? user->pw_dir : "";
}

SftpSession::Settings settings_of(const Server& server) {
    const FtpSettings& ftp = server.ftp();
    return {ftp.host, ftp.port, ftp.login, ftp.password};
}

bool named(ReachFailure& failure, const Server& server) {
    failure.place = ReachFailure::place_of(server);
    failure.host = server.ftp().host;
    return false;
}

std::string contents_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

void SftpHostKeys::use_folder(const std::string& data_folder) {
    std::lock_guard guard(store().lock);
    store().folder = data_folder;
}

std::string SftpHostKeys::own_file() {
    std::lock_guard guard(store().lock);
    return store().folder.empty() ? std::string() : in_folder(store().folder, OwnName);
}

std::string SftpHostKeys::user_file() {
    return home_folder() + "/.ssh/known_hosts";
}

std::string SftpHostKeys::unknown_fingerprint(const Server& server, ReachFailure& failure) {
    SftpSession session(settings_of(server), {});
    if (session.open(failure) || named(failure, server) ||
        failure.kind != ReachFailure::Kind::HostKeyUnknown)
        return {};
    return failure.offered_key;
}

bool SftpHostKeys::trust(const Server& server, const std::string& fingerprint,
                         ReachFailure& failure) {
    SftpSession session(settings_of(server), {});
    if (!session.handshake(failure))
        return named(failure, server);
    const std::string offered = session.offered_fingerprint();
    if (offered != fingerprint) {
        failure = ReachFailure(ReachFailure::Kind::HostKeyChanged);
        failure.known_key = fingerprint;
        failure.offered_key = offered;
        failure.detail = "it changed while it was being accepted; nothing was stored";
        return named(failure, server);
    }
    const std::string line = session.known_hosts_line();
    std::lock_guard guard(store().lock);
    if (store().folder.empty() || line.empty())
        return false;
    std::string text = contents_of(in_folder(store().folder, OwnName));
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += line + "\n";
    SafeSave::write_text(store().folder, OwnName, text);
    return true;
}

}  // namespace tovan
