#include "app/HolderConnection.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tovan {
namespace {

constexpr std::size_t LineLimit = 16 * 1024 * 1024;

std::string owner_problem(const std::string& path, uid_t user) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return path + " can't be read: " + std::strerror(errno);
    if (status.st_uid != user)
        return path + " belongs to user " + std::to_string(status.st_uid) +
               ", not to you; remove it or use a data folder of your own";
    return {};
}

ucred peer_credentials(int descriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        credentials.uid = static_cast<uid_t>(-1);
    return credentials;
}

}  // namespace

HolderConnection::HolderConnection(int descriptor) : descriptor_(descriptor) {}

HolderConnection::~HolderConnection() {
    ::close(descriptor_);
}

std::unique_ptr<HolderConnection> HolderConnection::connect(const std::string& socket_path,
                                                            uid_t user, std::string& error) {
    const std::string folder = std::filesystem::path(socket_path).parent_path().string();
    for (const std::string& path : {folder, socket_path})
        if (error = owner_problem(path, user); !error.empty())
            return nullptr;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket_path.size() >= sizeof address.sun_path) {
        error = "the path " + socket_path + " is too long for a socket; use a shorter --data-dir";
        return nullptr;
    }
    std::memcpy(address.sun_path, socket_path.c_str(), socket_path.size() + 1);
    auto connection =
        std::make_unique<HolderConnection>(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (connection->descriptor_ < 0 ||
        ::connect(connection->descriptor_, reinterpret_cast<const sockaddr*>(&address),
                  sizeof address) != 0) {
        error = "can't connect to " + socket_path + ": " + std::strerror(errno);
        return nullptr;
    }
    if (connection->peer_uid() != user) {
        error = "the process behind " + socket_path + " runs as user " +
                std::to_string(connection->peer_uid()) + ", not as you; stop it";
        return nullptr;
    }
    return connection;
}

bool HolderConnection::send_line(const std::string& line) {
    const std::string text = line + "\n";
    for (std::size_t sent = 0; !broken_ && sent < text.size();) {
        const ssize_t written =
            ::send(descriptor_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        broken_ = written <= 0;
        sent += broken_ ? 0 : static_cast<std::size_t>(written);
    }
    return !broken_;
}

std::optional<std::string> HolderConnection::read_line() {
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        if (buffer_.size() > LineLimit)
            return std::nullopt;
        char block[4096];
        const ssize_t got = ::recv(descriptor_, block, sizeof block, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        buffer_.append(block, static_cast<std::size_t>(got));
    }
}

void HolderConnection::set_read_limit(int seconds) {
    const timeval limit{seconds, 0};
    ::setsockopt(descriptor_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

void HolderConnection::set_write_limit(int seconds) {
    const timeval limit{seconds, 0};
    ::setsockopt(descriptor_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

uid_t HolderConnection::peer_uid() const {
    return peer_credentials(descriptor_).uid;
}

pid_t HolderConnection::peer_pid() const {
    return peer_credentials(descriptor_).pid;
}

}  // namespace tovan
