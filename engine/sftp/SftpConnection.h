#pragma once

#include "engine/connection/Connection.h"
#include "engine/sftp/SftpSession.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Server;

// An SFTP server's connection: one SSH session of its own, as each scan thread
// and each download has, shared by the finders it makes.
class SftpConnection : public Connection {
public:
    // Logs in; empty when the server cannot be reached, its host key is not
    // accepted or it refuses the login, with the kind of failure in failure.
    static SharedPtr<SftpConnection> open(const Server& server, ReachFailure& failure);

    explicit SftpConnection(SharedPtr<SftpSession> session) : session_(std::move(session)) {}

    SharedPtr<FileFinder> create_finder() override;
    SharedPtr<FileDownloader> create_downloader() override;
    void close() override { session_->abort(); }

private:
    SharedPtr<SftpSession> session_;
};

}  // namespace tovan
