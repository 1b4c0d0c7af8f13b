#pragma once

#include <cstdint>

#include "engine/connection/FileDownloader.h"
#include "engine/ftp/FtpHandle.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Fetches files over the FTP connection's logged-in control connection. The
// size comes from "SIZE", or from the folder's listing where the server has no
// SIZE; a resume is asked for by "REST". Every step and server answer goes to
// the transfer log. The file itself is opened only by the first read, after
// any REST, so a destination found complete never opens it.
class FileFtpDownloader : public FileDownloader {
public:
    explicit FileFtpDownloader(SharedPtr<FtpHandle> handle);
    ~FileFtpDownloader() override;

    bool is_found() override { return found_; }
    std::uint64_t size() override { return size_; }

protected:
    bool open() override;
    void close_source() override;
    std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) override;
    bool seek(std::uint64_t offset) override;

private:
    void query_size();
    void search_folder();
    void set_binary();
    bool open_file();
    std::size_t read_file(std::size_t n, std::vector<char>& buffer);

    SharedPtr<FtpHandle> handle_;
    FtpHandle::AnswerSink previous_answers_;
    std::string last_refusal_;  // of the current file
    std::uint64_t size_ = 0;
    std::uint64_t offset_ = 0;  // where the server resumes, once it accepted REST
    bool file_open_ = false;
    bool found_ = false;
    bool binary_ = false;  // the control connection is in TYPE I
};

}  // namespace tovan
