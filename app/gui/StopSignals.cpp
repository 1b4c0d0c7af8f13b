#include "app/gui/StopSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace tovan {

namespace {

// The handler may only write to a descriptor; the notifier reads the other end.
int pair[2] = {-1, -1};

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pair[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char number = 0;
        if (::read(pair[1], &number, 1) == 1)
            emit stop_requested();
    });
    struct sigaction action = {};
    action.sa_handler = &StopSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(number, &action, nullptr);
}

StopSignals::~StopSignals() {
    for (int number : {SIGTERM, SIGINT, SIGHUP}) std::signal(number, SIG_DFL);
    notifier_.reset();
    for (int& end : pair) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void StopSignals::handle(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pair[0], &byte, 1);
}

}  // namespace tovan
