#include "engine/sftp/SftpConnection.h"

#include "engine/catalog/Server.h"
#include "engine/sftp/FileSftpDownloader.h"
#include "engine/sftp/SftpFileFinder.h"

namespace tovan {

SharedPtr<SftpConnection> SftpConnection::open(const Server& server, ReachFailure& failure) {
    const FtpSettings& ftp = server.ftp();
    // The server outlives its connections: the scan that uses them holds it.
    Server& answers = const_cast<Server&>(server);
    SharedPtr<SftpSession> session = tovan::make_shared<SftpSession>(
        SftpSession::Settings{ftp.host, ftp.port, ftp.login, ftp.password},
        [&answers](const std::string& line) { answers.log_text(line); });
    if (!session->open(failure))
        return {};
    return tovan::make_shared<SftpConnection>(std::move(session));
}

SharedPtr<FileFinder> SftpConnection::create_finder() {
    return make_shared<SftpFileFinder>(session_);
}

SharedPtr<FileDownloader> SftpConnection::create_downloader() {
    return tovan::make_shared<FileSftpDownloader>(session_);
}

}  // namespace tovan
