#include "engine/http/FileHttpDownloader.h"

#include <cctype>
#include <limits>

#include "engine/catalog/UrlEscapes.h"
#include "engine/curl/CurlFailure.h"
#include "engine/curl/InternetSession.h"
#include "tovan/Exception.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr long ReceiveBuffer = 256 * 1024;

// Paths arrive as a user typed them or as a server listed them: blanks and
// bytes a URL cannot carry are encoded, everything else (a query, an escape
// already there) goes as it is.
constexpr std::string_view PlainInUrl = "!#$%&'()*+,/:;=?@[]";

bool starts_with_word(std::string_view line, std::string_view word) {
    if (line.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != word[i])
            return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

FileHttpDownloader::FileHttpDownloader(InternetSession& session, bool tls, std::string host,
                                       std::uint32_t port, const TlsTrust& trust)
    : tls_(trust), easy_(curl_easy_init()), multi_(curl_multi_init()), transfer_(easy_, multi_) {
    const bool ipv6 = host.find(':') != std::string::npos && !host.starts_with('[');
    origin_ = (tls ? "https://" : "http://") + (ipv6 ? "[" + host + "]" : host) + ":" +
              std::to_string(port);
    host_ = std::move(host);
    if (easy_ == nullptr || multi_ == nullptr)
        return;
    session.configure(easy_);
    if (tls)
        tls_.apply(easy_);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, TimeoutMs);
    // A transfer that stalls as long fails, as one that never connects does.
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, TimeoutMs / 1000);
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, ReceiveBuffer);
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &FileHttpDownloader::take_header);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
}

FileHttpDownloader::~FileHttpDownloader() {
    transfer_.cancel();
    if (multi_ != nullptr)
        curl_multi_cleanup(multi_);
    if (easy_ != nullptr)
        curl_easy_cleanup(easy_);
}

std::string FileHttpDownloader::url() const {
    return origin_ + percent_encoded(source(), PlainInUrl);
}

bool FileHttpDownloader::open() {
    close_source();
    // Whether a file is there is learnt anew for each file.
    found_ = false;
    content_length_ = 0;
    if (!open_file())
        return false;
    query_content_length();
    return true;
}

void FileHttpDownloader::open_request() {
    log("GET " + url());
    transfer_.cancel();
    headers_.clear();
    content_range_.clear();
    status_line_.clear();
    error_[0] = '\0';
    if (easy_ == nullptr || multi_ == nullptr ||
        curl_easy_setopt(easy_, CURLOPT_URL, url().c_str()) != CURLE_OK) {
        log("can't open request");
        fail("can't open request");
    }
    curl_easy_setopt(easy_, CURLOPT_RANGE, nullptr);
}

// 200 is the file. A server error may pass, so the file is tried again later;
// any other answer (404 above all) says the file is not there to fetch.
bool FileHttpDownloader::open_file() {
    received_ = 0;
    open_request();
    transfer_.begin();
    if (transfer_.ended() && transfer_.result() != CURLE_OK) {
        const std::string reason = failure_reason();
        transfer_.cancel();
        error_log(1) << "can't open " << url() << ": " << reason << std::endl;
        log(reason);
        fail(unreached_text(reason));
    }
    const long code = status();
    if (code == 200) {
        found_ = true;
        return true;
    }
    transfer_.cancel();
    found_ = code >= 500;
    const std::string answer = status_line_.empty() ? "HTTP " + std::to_string(code) : status_line_;
    if (found_)
        fail("can't open file: " + answer);
    set_refusal(answer);
    return false;
}

long FileHttpDownloader::status() {
    long code = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
    log("status " + std::to_string(code));
    return code;
}

void FileHttpDownloader::query_content_length() {
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length < 0) {
        log("size unknown: the answer has no Content-Length");
        content_length_ = 0;
        return;
    }
    content_length_ = static_cast<std::uint64_t>(length);
    log("size " + std::to_string(length) + " bytes");
}

// Appends only to an answer that starts where the destination ends; a server
// that ignores the range sends the whole file, which then starts over.
bool FileHttpDownloader::seek(std::uint64_t offset) {
    received_ = 0;
    open_request();
    range_ = std::to_string(offset) + "-";
    log("Range: bytes=" + range_);
    curl_easy_setopt(easy_, CURLOPT_RANGE, range_.c_str());
    transfer_.begin();
    if (transfer_.ended() && transfer_.result() != CURLE_OK) {
        const std::string reason = failure_reason();
        transfer_.cancel();
        error_log(1) << "range request for " << url() << ": " << reason << std::endl;
        log(reason);
        return false;
    }
    const long code = status();
    if (code == 206 && content_range_start() == offset) {
        received_ = offset;
        return true;
    }
    // The whole file from its start is what a restart needs anyway.
    if (code == 200)
        return false;
    open_file();
    return false;
}

std::uint64_t FileHttpDownloader::content_range_start() const {
    std::string_view range = trimmed(content_range_);
    if (!starts_with_word(range, "bytes"))
        return std::numeric_limits<std::uint64_t>::max();
    range = trimmed(range.substr(5));
    if (range.empty() || !std::isdigit(static_cast<unsigned char>(range.front())))
        return std::numeric_limits<std::uint64_t>::max();
    return std::strtoull(std::string(range).c_str(), nullptr, 10);
}

std::size_t FileHttpDownloader::do_read_chunk(std::size_t n, std::vector<char>& buffer) {
    try {
        if (!transfer_.is_open() && !open_file())
            return 0;
        return read_body(n, buffer);
    } catch (const Exception&) {
        throw;
    } catch (const std::exception&) {
        fail("FileHttpDownloader::do_read_chunk. Unknown exception");
    }
}

// A connection lost before the end of the answer is no end of the file: the
// part read so far stays, and the next try resumes after it.
std::size_t FileHttpDownloader::read_body(std::size_t n, std::vector<char>& buffer) {
    const std::size_t before = buffer.size();
    const std::size_t read = transfer_.read(n, buffer);
    received_ += read;
    if (read == n)
        return read;
    const bool failed = transfer_.result() != CURLE_OK;
    if (!failed && (content_length_ == 0 || received_ >= content_length_))
        return read;
    const std::string reason = failed ? failure_reason() : "the answer ended early";
    buffer.resize(before);
    error_log(1) << url() << ": " << reason << std::endl;
    log(reason);
    fail("Transfer error while not end of file");
}

void FileHttpDownloader::close_source() {
    transfer_.cancel();
}

// A host that cannot be reached is told as for a scan; any other failure in
// libcurl's words.
std::string FileHttpDownloader::unreached_text(const std::string& reason) {
    ReachFailure failure(curl_failure_kind(easy_, transfer_.result()), origin_, host_);
    tls_.explain(transfer_.result(), error_, failure);
    if (failure.kind == ReachFailure::Kind::Other || failure.kind == ReachFailure::Kind::None)
        return "can't open file: " + (failure.detail.empty() ? reason : failure.detail);
    return failure.text();
}

std::string FileHttpDownloader::failure_reason() {
    return error_[0] != '\0' ? error_ : curl_easy_strerror(transfer_.result());
}

[[noreturn]] void FileHttpDownloader::fail(const std::string& text, std::source_location location) {
    error_log(1) << text << std::endl;
    FailureRecord::write(text.c_str(), location);
    throw Exception(text);
}

// Each answer's status line and headers go to the log together, once complete.
std::size_t FileHttpDownloader::take_header(char* data, std::size_t size, std::size_t count,
                                            void* self) {
    auto* downloader = static_cast<FileHttpDownloader*>(self);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        downloader->headers_.clear();
        downloader->content_range_.clear();
        downloader->status_line_ = std::string(trimmed(line));
    }
    if (trimmed(line).empty()) {
        downloader->log(downloader->headers_);
        downloader->headers_.clear();
        return size * count;
    }
    downloader->headers_ += line;
    if (starts_with_word(line, "content-range:"))
        downloader->content_range_ = std::string(trimmed(line.substr(14)));
    return size * count;
}

}  // namespace tovan
