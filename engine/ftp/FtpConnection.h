#pragma once

#include "engine/connection/Connection.h"
#include "engine/ftp/FtpHandle.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Server;

// An FTP server's connection: one logged-in control connection, shared by the
// finders it makes, kept until it is closed or lost.
class FtpConnection : public Connection {
public:
    // Logs in; empty when the server cannot be reached or refuses the login, with
    // the kind of failure in failure (libcurl's words are in the server's log).
    static SharedPtr<FtpConnection> open(const Server& server, InternetSession& session,
                                         ReachFailure& failure);

    explicit FtpConnection(SharedPtr<FtpHandle> handle) : handle_(std::move(handle)) {}

    SharedPtr<FileFinder> create_finder() override;
    // Fetches over the same control connection; its answers go to the
    // downloader's transfer log while it lives.
    SharedPtr<FileDownloader> create_downloader() override;
    // Makes a listing in progress fail at once, from any thread.
    void close() override { handle_->abort(); }

private:
    SharedPtr<FtpHandle> handle_;
};

}  // namespace tovan
