#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/connection/ReachFailure.h"
#include "engine/curl/CurlTransfer.h"
#include "engine/curl/InternetSession.h"
#include "engine/curl/TlsCheck.h"

namespace tovan {

// One FTP control connection on a libcurl easy handle: it logs in once and is
// kept for every later listing. Every server answer goes to the answer sink.
// Finders, the connection and its downloader share it; one listing or file
// transfer runs at a time.
class FtpHandle {
public:
    struct Settings {
        std::string host;
        std::uint32_t port = 21;
        std::string login;
        std::string password;  // empty: ~/.netrc's, else none, so anonymous login works
        bool passive = true;
        bool tls = false;  // explicit TLS, required
        TlsTrust trust{};
    };
    using AnswerSink = std::function<void(const std::string&)>;

    struct Listing {
        bool ok = false;
        bool refused = false;      // the server said no; the connection is still usable
        bool reconnected = false;  // the control connection had been lost meanwhile
        long reply = 0;            // the server's last reply code
        std::string reply_line;    // and its last line, when it refused
        std::string body;
        std::string error;  // libcurl's words for a failure
    };

    FtpHandle(InternetSession& session, Settings settings, AnswerSink answers);
    ~FtpHandle();
    FtpHandle(const FtpHandle&) = delete;
    FtpHandle& operator=(const FtpHandle&) = delete;

    // Logs in and learns whether the server lists by MLSD and speaks UTF-8; false
    // when it cannot be reached or refuses the login (or, with TLS, its
    // certificate), with libcurl's reason among the answers.
    bool open();
    // Why open() failed: its kind and libcurl's words.
    const ReachFailure& open_failure() const { return open_failure_; }
    struct Reply {
        bool sent = false;  // false: the server could not be reached
        long code = 0;      // the server's reply code
        std::string line;   // and its last line
    };

    // Lists the folder (an absolute server path) by MLSD or LIST; a listing
    // without real progress for the session's stall time fails.
    Listing list(const std::string& path);
    // Sends one command that needs no data connection, such as "SIZE /pub/a".
    Reply command(const std::string& text);

    // Starts fetching a file (an absolute server path) from offset on, which
    // libcurl asks for by REST; read_file then delivers it.
    void open_file(const std::string& path, std::uint64_t offset);
    std::size_t read_file(std::size_t n, std::vector<char>& buffer);
    // Abandons the file transfer if it has not ended.
    void close_file();
    const CurlTransfer& file() const { return file_; }
    // The server's last reply code.
    long reply() const;
    // libcurl's words for the last failure.
    std::string error_text(CURLcode code) const;

    // Where the answers go from now on; the sink it replaces.
    AnswerSink set_answer_sink(AnswerSink answers);
    bool uses_mlsd() const { return mlsd_; }
    const std::string& host() const { return settings_.host; }
    // Makes a listing in progress on another thread fail at once.
    void abort() { aborted_ = true; }

private:
    std::string url_for(const std::string& path, bool folder = true) const;
    std::string last_answer_line() const;
    CURLcode perform(const std::string& url, const char* list_command, curl_slist* quote,
                     std::string* body);
    CURLcode run_transfer();
    void learn_features(const std::string& answers);
    static std::size_t collect_body(char* data, std::size_t size, std::size_t count, void* body);
    static int debug(CURL*, curl_infotype type, char* data, std::size_t size, void* handle);
    static int progress(void* handle, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    Settings settings_;
    TlsCheck tls_;
    AnswerSink answer_sink_;
    CURL* curl_ = nullptr;
    // The handle runs in a multi handle of its own, which keeps the control
    // connection between listings.
    CURLM* multi_ = nullptr;
    CurlTransfer file_;
    mutable std::mutex perform_lock_;
    std::atomic<bool> aborted_{false};
    std::string answers_;  // of the transfer in progress
    char error_[CURL_ERROR_SIZE] = {};
    bool mlsd_ = false;
    bool utf8_ = false;
    ReachFailure open_failure_;
};

}  // namespace tovan
