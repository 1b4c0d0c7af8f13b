#include "engine/connection/Protocols.h"

#include "engine/catalog/Server.h"
#include "engine/curl/InternetSession.h"
#include "engine/ftp/FtpConnection.h"
#include "engine/http/HttpConnection.h"
#include "engine/local/LocalConnection.h"
#include "engine/smb/NetworkConnection.h"

namespace tovan {

SharedPtr<Connection> Protocols::connect(const Server& server) {
    return connect(server, InternetSession::shared());
}

SharedPtr<Connection> Protocols::connect(const Server& server, InternetSession& session) {
    SharedPtr<Connection> connection;
    switch (server.kind()) {
        case ServerKind::Local:
            connection = make_shared<LocalConnection>();
            break;
        case ServerKind::Network:
            connection = make_shared<NetworkConnection>();
            break;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
            return FtpConnection::open(server, session);
        case ServerKind::Http:
        case ServerKind::Https:
            return tovan::make_shared<HttpConnection>(session, server.http_host(),
                                                      server.http_port(),
                                                      server.kind() == ServerKind::Https);
    }
    // A folder server is online when its root can be listed; nothing stays open.
    if (!connection->create_finder()->find_file(*server.root()))
        return {};
    return connection;
}

}  // namespace tovan
