#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <source_location>
#include <string>
#include <vector>

#include "engine/connection/FileDownloader.h"
#include "engine/curl/CurlTransfer.h"
#include "engine/curl/TlsCheck.h"

namespace tovan {

class InternetSession;

// Fetches files by HTTP or HTTPS GET on an easy handle of its own, kept from
// file to file so the connection is reused. The size is the answer's
// Content-Length; a resume is a request with a Range, appended only when the
// server answers 206 from exactly the offset asked for. Every step, status line
// and header goes to the transfer log.
class FileHttpDownloader : public FileDownloader {
public:
    static constexpr long TimeoutMs = 5000;

    FileHttpDownloader(InternetSession& session, bool tls, std::string host, std::uint32_t port,
                       const TlsTrust& trust = {});
    ~FileHttpDownloader() override;

    bool is_found() override { return found_; }
    std::uint64_t size() override { return content_length_; }

protected:
    bool open() override;
    void close_source() override;
    std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) override;
    bool seek(std::uint64_t offset) override;

private:
    void open_request();
    bool open_file();
    long status();
    void query_content_length();
    std::uint64_t content_range_start() const;
    std::string url() const;
    std::string failure_reason();
    std::string unreached_text(const std::string& reason);
    std::size_t read_body(std::size_t n, std::vector<char>& buffer);
    [[noreturn]] void fail(const std::string& text,
                           std::source_location location = std::source_location::current());
    static std::size_t take_header(char* data, std::size_t size, std::size_t count, void* self);

    std::string origin_;  // scheme, host and port
    std::string host_;
    TlsCheck tls_;
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    CurlTransfer transfer_;
    std::string range_;
    std::string headers_;  // of the current answer, for the log
    std::string content_range_;
    std::string status_line_;  // of the current answer
    char error_[CURL_ERROR_SIZE] = {};
    std::uint64_t content_length_ = 0;  // 0 when the server gave none
    std::uint64_t received_ = 0;        // the answer's bytes, counted from the file's start
    bool found_ = false;
};

}  // namespace tovan
