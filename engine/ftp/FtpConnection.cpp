#include "engine/ftp/FtpConnection.h"

#include "engine/catalog/Server.h"
#include "engine/ftp/FileFtpDownloader.h"
#include "engine/ftp/FtpFileFinder.h"

namespace tovan {

SharedPtr<FtpConnection> FtpConnection::open(const Server& server, InternetSession& session,
                                             ReachFailure& failure) {
    const FtpSettings& ftp = server.ftp();
    FtpHandle::Settings settings{ftp.host,          ftp.port,    ftp.login,
                                 ftp.password,      ftp.passive, server.kind() == ServerKind::Ftps,
                                 server.tls_trust()};
    // The server outlives its connections: the scan that uses them holds it.
    Server& answers = const_cast<Server&>(server);
    SharedPtr<FtpHandle> handle = tovan::make_shared<FtpHandle>(
        session, std::move(settings),
        [&answers](const std::string& line) { answers.log_text(line); });
    if (!handle->open()) {
        failure = handle->open_failure();
        return {};
    }
    return tovan::make_shared<FtpConnection>(std::move(handle));
}

SharedPtr<FileFinder> FtpConnection::create_finder() {
    return make_shared<FtpFileFinder>(handle_);
}

SharedPtr<FileDownloader> FtpConnection::create_downloader() {
    return tovan::make_shared<FileFtpDownloader>(handle_);
}

}  // namespace tovan
