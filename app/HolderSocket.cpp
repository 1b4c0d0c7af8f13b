#include "app/HolderSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

// A client that connects and says nothing must not hold up the others for long.
constexpr int RequestLimitSeconds = 5;

}  // namespace

HolderSocket::HolderSocket(std::string refusal) : refusal_(std::move(refusal)) {}

HolderSocket::~HolderSocket() {
    stop();
}

bool HolderSocket::fail(const std::string& what) {
    error_ = "can't " + what + " " + path_ + ": " + std::strerror(errno);
    error_log(1) << "holder socket: " << error_ << std::endl;
    stop();
    return false;
}

bool HolderSocket::start(const std::string& data_folder) {
    path_ = data_folder + SocketName;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return fail("listen on");
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    ::unlink(path_.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0)
        return fail("make");
    // Peers are checked one by one as well; the mode keeps others from even
    // connecting.
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path_.c_str(), 0600) != 0 || ::listen(listener_, 16) != 0)
        return fail("listen on");
    thread_ = std::thread([this] { run(); });
    return true;
}

void HolderSocket::stop() {
    if (thread_.joinable()) {
        const char wake = 0;
        [[maybe_unused]] const ssize_t written = ::write(wake_[1], &wake, 1);
        thread_.join();
    }
    for (int& descriptor : {std::ref(listener_), std::ref(wake_[0]), std::ref(wake_[1])}) {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = -1;
    }
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
    const std::lock_guard hold(lock_);
    queued_.clear();
}

std::vector<HolderSocket::Request> HolderSocket::take() {
    const std::lock_guard hold(lock_);
    return std::exchange(queued_, {});
}

bool HolderSocket::has_requests() const {
    const std::lock_guard hold(lock_);
    return !queued_.empty();
}

void HolderSocket::run() {
    for (;;) {
        pollfd waits[] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0 && errno != EINTR)
            return;
        if (waits[1].revents != 0)
            return;
        if (waits[0].revents == 0)
            continue;
        const int descriptor = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor >= 0)
            receive(descriptor);
    }
}

void HolderSocket::receive(int descriptor) {
    auto connection = std::make_shared<HolderConnection>(descriptor);
    if (connection->peer_uid() != ::getuid()) {
        error_log(1) << "holder socket: refused a process of user " << connection->peer_uid()
                     << std::endl;
        connection->send_line(refusal_);
        return;
    }
    connection->set_read_limit(RequestLimitSeconds);
    std::optional<std::string> line = connection->read_line();
    if (!line)
        return;
    connection->set_read_limit(0);
    connection->set_write_limit(RequestLimitSeconds);
    const std::lock_guard hold(lock_);
    queued_.push_back({std::move(*line), std::move(connection)});
}

}  // namespace tovan
