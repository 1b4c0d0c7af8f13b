#include "engine/connection/Protocols.h"

#include "engine/catalog/Server.h"
#include "engine/curl/InternetSession.h"
#include "engine/ftp/FtpConnection.h"
#include "engine/http/HttpConnection.h"
#include "engine/local/LocalConnection.h"
#include "engine/sftp/SftpConnection.h"
#include "engine/smb/NetworkConnection.h"

namespace tovan {

SharedPtr<Connection> Protocols::connect(const Server& server) {
    return connect(server, InternetSession::shared());
}

namespace {

std::string host_of(const Server& server) {
    switch (server.kind()) {
        case ServerKind::Local:
            return {};
        case ServerKind::Network:
            return server.host();
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
            return server.ftp().host;
        case ServerKind::Http:
        case ServerKind::Https:
            return server.http_host();
    }
    return {};
}

}  // namespace

SharedPtr<Connection> Protocols::connect(const Server& server, InternetSession& session,
                                         ReachFailure* failure) {
    ReachFailure why;
    SharedPtr<Connection> connection = open(server, session, why);
    if (!connection && failure != nullptr) {
        *failure = std::move(why);
        failure->place = ReachFailure::place_of(server);
        failure->host = host_of(server);
    }
    return connection;
}

SharedPtr<Connection> Protocols::open(const Server& server, InternetSession& session,
                                      ReachFailure& failure) {
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
            return FtpConnection::open(server, session, failure);
        case ServerKind::Sftp:
            return SftpConnection::open(server, failure);
        case ServerKind::Http:
        case ServerKind::Https:
            return tovan::make_shared<HttpConnection>(
                session, server.http_host(), server.http_port(), server.kind() == ServerKind::Https,
                server.tls_trust());
    }
    // A folder server is online when its root can be listed; nothing stays open.
    const SharedPtr<FileFinder> finder = connection->create_finder();
    if (!finder->find_file(*server.root())) {
        failure = finder->failure();
        return {};
    }
    return connection;
}

}  // namespace tovan
