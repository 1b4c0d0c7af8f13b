#pragma once

#include "engine/connection/Connection.h"
#include "engine/connection/ReachFailure.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class InternetSession;
class Server;

// Picks the protocol of a server's kind. The catalog knows servers only as places;
// this is the one spot that knows every protocol, above them all.
class Protocols {
public:
    // Opens a connection of the server's kind, FTP and HTTP ones through the
    // session; empty when the server is offline, and failure, when given, then
    // says why.
    static SharedPtr<Connection> connect(const Server& server, InternetSession& session,
                                         ReachFailure* failure = nullptr);
    static SharedPtr<Connection> connect(const Server& server);

private:
    static SharedPtr<Connection> open(const Server& server, InternetSession& session,
                                      ReachFailure& failure);
};

}  // namespace tovan
