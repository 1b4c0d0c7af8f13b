#pragma once

#include <libssh/sftp.h>

#include <cstdint>

#include "engine/connection/FileDownloader.h"
#include "engine/sftp/SftpSession.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Fetches files over the connection's SFTP session. The size comes from a
// stat; a resume seeks the opened file to the partial file's size. Every step
// and the server's status on a failure go to the transfer log.
class FileSftpDownloader : public FileDownloader {
public:
    explicit FileSftpDownloader(SharedPtr<SftpSession> session);
    ~FileSftpDownloader() override;

    bool is_found() override { return found_; }
    std::uint64_t size() override { return size_; }

protected:
    bool open() override;
    void close_source() override;
    std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) override;
    bool seek(std::uint64_t offset) override;

private:
    bool open_file();
    // Refuses the file when the server answered, raises when the session is lost.
    void refused(const char* step);

    SharedPtr<SftpSession> session_;
    SftpSession::AnswerSink previous_answers_;
    sftp_file file_ = nullptr;
    std::uint64_t size_ = 0;
    bool found_ = false;
};

}  // namespace tovan
