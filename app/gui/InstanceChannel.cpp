#include "app/gui/InstanceChannel.h"

#include <QLocalSocket>

namespace tovan {

namespace {

constexpr QByteArrayView ShowRequest = "show\n";
constexpr QByteArrayView ShownAnswer = "shown\n";

QString socket_path(const std::string& data_folder) {
    return QString::fromStdString(data_folder) + InstanceChannel::SocketName;
}

}  // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::answer);
}

bool InstanceChannel::listen(const std::string& data_folder) {
    QLocalServer::removeServer(socket_path(data_folder));
    return server_.listen(socket_path(data_folder));
}

void InstanceChannel::answer() {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine())
                return;
            if (peer->readLine() == ShowRequest) {
                emit show_requested();
                peer->write(ShownAnswer.data(), ShownAnswer.size());
                peer->flush();
            }
            peer->disconnectFromServer();
        });
    }
}

bool InstanceChannel::ask_to_show(const std::string& data_folder, int timeout_ms) {
    QLocalSocket socket;
    socket.connectToServer(socket_path(data_folder));
    if (!socket.waitForConnected(timeout_ms))
        return false;
    socket.write(ShowRequest.data(), ShowRequest.size());
    if (!socket.waitForBytesWritten(timeout_ms))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeout_ms))
            return false;
    return socket.readLine() == ShownAnswer;
}

}  // namespace tovan
