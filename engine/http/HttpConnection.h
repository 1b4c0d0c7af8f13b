#pragma once

#include <cstdint>
#include <string>

#include "engine/catalog/TlsTrust.h"
#include "engine/connection/Connection.h"
#include "engine/curl/InternetSession.h"

namespace tovan {

// An HTTP or HTTPS server: nothing to list, only files to fetch. Opening it
// sends no request, so it succeeds without contacting the host.
class HttpConnection : public Connection {
public:
    HttpConnection(InternetSession& session, std::string host, std::uint32_t port, bool tls = false,
                   TlsTrust trust = {})
        : session_(session),
          host_(std::move(host)),
          port_(port),
          tls_(tls),
          trust_(std::move(trust)) {}

    SharedPtr<FileFinder> create_finder() override { return {}; }
    SharedPtr<FileDownloader> create_downloader() override;

    InternetSession& session() const { return session_; }
    const std::string& host() const { return host_; }
    std::uint32_t port() const { return port_; }
    bool tls() const { return tls_; }

private:
    InternetSession& session_;
    std::string host_;
    std::uint32_t port_;
    bool tls_;
    TlsTrust trust_;
};

}  // namespace tovan
