#include "engine/ftp/FtpHandle.h"

#include <sys/select.h>

#include "engine/catalog/UrlEscapes.h"
#include "engine/curl/CurlFailure.h"

namespace tovan {
namespace {

// A listing line is some 60 bytes: a listing that brings less than a dozen lines
// a second throughout the stall time (curl judges the rate over its last few
// seconds) has stopped progressing, however long it would trickle on.
constexpr long ListingBytesPerSecond = 1024;

bool transport_intact(CURLcode code) {
    return code == CURLE_REMOTE_ACCESS_DENIED || code == CURLE_FTP_COULDNT_RETR_FILE ||
           code == CURLE_REMOTE_FILE_NOT_FOUND || code == CURLE_QUOTE_ERROR;
}

bool has_feature(const std::string& answers, const char* feature) {
    std::size_t at = 0;
    while ((at = answers.find(feature, at)) != std::string::npos) {
        const bool starts = at > 0 && (answers[at - 1] == ' ' || answers[at - 1] == '\n');
        const char after = at + std::char_traits<char>::length(feature) < answers.size()
                               ? answers[at + std::char_traits<char>::length(feature)]
                               : '\n';
        if (starts && (after == '\r' || after == '\n' || after == ' '))
            return true;
        ++at;
    }
    return false;
}

// True when libcurl left the transfer with no socket to wait on: a step it has
// not taken yet, such as opening the data connection once the server told its
// port, for which it sets no timer either.
bool waits_on_nothing(CURLM* multi) {
    fd_set read_set;
    fd_set write_set;
    fd_set error_set;
    FD_ZERO(&read_set);
    FD_ZERO(&write_set);
    FD_ZERO(&error_set);
    int highest = -1;
    curl_multi_fdset(multi, &read_set, &write_set, &error_set, &highest);
    return highest == -1;
}

}  // namespace

FtpHandle::FtpHandle(InternetSession& session, Settings settings, AnswerSink answers)
    : settings_(std::move(settings)),
      tls_(settings_.trust),
      answer_sink_(std::move(answers)),
      curl_(curl_easy_init()),
      multi_(curl_multi_init()),
      file_(curl_, multi_) {
    if (curl_ == nullptr || multi_ == nullptr)
        return;
    session.configure(curl_);
    // Every listing's data connection goes to a new port, and libcurl caches
    // each address:port it connects to for a minute, walking the whole cache at
    // every transfer under the session's lock: thousands of entries a scan. An
    // FTP handle keeps no such cache; the control connection is kept, so its
    // host is looked up only when that connection is made again.
    curl_easy_setopt(curl_, CURLOPT_SHARE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_DNS_CACHE_TIMEOUT, 0L);
    if (!settings_.login.empty()) {
        curl_easy_setopt(curl_, CURLOPT_USERNAME, settings_.login.c_str());
        if (!settings_.password.empty())
            curl_easy_setopt(curl_, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    // A password kept in ~/.netrc keeps it off the command line and out of our files.
    if (settings_.password.empty())
        curl_easy_setopt(curl_, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    // The folder goes with the listing command ("MLSD /pub/dir"), which saves a
    // CWD round trip per folder.
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (!settings_.passive)
        curl_easy_setopt(curl_, CURLOPT_FTPPORT, "-");
    if (settings_.tls) {
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        tls_.apply(curl_);
    }
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(session.stall_seconds()));
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &FtpHandle::collect_body);
    curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &FtpHandle::debug);
    curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &FtpHandle::progress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
}

FtpHandle::~FtpHandle() {
    file_.cancel();
    if (multi_ != nullptr)
        curl_multi_cleanup(multi_);
    if (curl_ != nullptr)
        curl_easy_cleanup(curl_);
}

std::string FtpHandle::url_for(const std::string& path, bool folder) const {
    std::string relative = path.starts_with('/') ? path.substr(1) : path;
    if (folder && !relative.empty() && relative.back() != '/')
        relative += '/';
    const bool ipv6 = settings_.host.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + settings_.host + "]" : settings_.host;
    // The path is percent-encoded byte by byte, so names with blanks, "#", "?" or
    // bytes of any encoding reach the server unchanged; "%2F" makes it absolute
    // instead of relative to the login folder.
    return "ftp://" + host + ":" + std::to_string(settings_.port) + "/%2F" +
           percent_encoded(relative, "/");
}

bool FtpHandle::open() {
    if (curl_ == nullptr || multi_ == nullptr)
        return false;
    curl_slist* feat = curl_slist_append(nullptr, "FEAT");
    const CURLcode code = perform(url_for("/"), nullptr, feat, nullptr);
    curl_slist_free_all(feat);
    if (code != CURLE_OK) {
        const std::string reason = error_[0] != '\0' ? error_ : curl_easy_strerror(code);
        if (answer_sink_)
            answer_sink_(reason);
        open_failure_.kind = curl_failure_kind(curl_, code);
        open_failure_.detail = reason;
        tls_.explain(code, error_, open_failure_);
        return false;
    }
    learn_features(answers_);
    if (utf8_) {
        curl_slist* opts = curl_slist_append(nullptr, "*OPTS UTF8 ON");
        perform(url_for("/"), nullptr, opts, nullptr);
        curl_slist_free_all(opts);
    }
    return true;
}

// Decided once per connection and kept, so that a rescan never finds times of
// another precision than the scan before.
void FtpHandle::learn_features(const std::string& answers) {
    mlsd_ = has_feature(answers, "MLSD") || has_feature(answers, "MLST");
    utf8_ = has_feature(answers, "UTF8");
}

FtpHandle::Listing FtpHandle::list(const std::string& path) {
    Listing listing;
    const CURLcode code = perform(url_for(path), mlsd_ ? "MLSD" : "LIST", nullptr, &listing.body);
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &listing.reply);
    listing.ok = code == CURLE_OK;
    listing.refused = !listing.ok && transport_intact(code) && listing.reply >= 400;
    // libcurl quietly opens a new control connection when the old one died; the
    // server's greeting tells.
    listing.reconnected =
        answers_.starts_with("220") || answers_.find("\n220") != std::string::npos;
    if (!listing.ok)
        listing.error = curl_easy_strerror(code);
    if (listing.refused)
        listing.reply_line = last_answer_line();
    return listing;
}

// A "*" in front keeps a refusal from failing the request, so the reply code
// tells; the control connection stays as it was.
FtpHandle::Reply FtpHandle::command(const std::string& text) {
    curl_slist* quote = curl_slist_append(nullptr, ("*" + text).c_str());
    const CURLcode code = perform(url_for("/"), nullptr, quote, nullptr);
    curl_slist_free_all(quote);
    return Reply{code == CURLE_OK, reply(), last_answer_line()};
}

std::string FtpHandle::last_answer_line() const {
    std::lock_guard guard(perform_lock_);
    std::string_view answers = answers_;
    while (answers.ends_with('\n') || answers.ends_with('\r')) answers.remove_suffix(1);
    const std::size_t start = answers.find_last_of('\n');
    return std::string(answers.substr(start == std::string_view::npos ? 0 : start + 1));
}

std::string FtpHandle::error_text(CURLcode code) const {
    std::lock_guard guard(perform_lock_);
    return error_[0] != '\0' ? error_ : curl_easy_strerror(code);
}

long FtpHandle::reply() const {
    std::lock_guard guard(perform_lock_);
    long code = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

void FtpHandle::open_file(const std::string& path, std::uint64_t offset) {
    std::lock_guard guard(perform_lock_);
    file_.cancel();
    answers_.clear();
    curl_easy_setopt(curl_, CURLOPT_URL, url_for(path, false).c_str());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(curl_, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
    if (aborted_) {
        file_.cancel();
        return;
    }
    file_.begin();
}

std::size_t FtpHandle::read_file(std::size_t n, std::vector<char>& buffer) {
    std::lock_guard guard(perform_lock_);
    return file_.read(n, buffer);
}

void FtpHandle::close_file() {
    std::lock_guard guard(perform_lock_);
    file_.cancel();
}

FtpHandle::AnswerSink FtpHandle::set_answer_sink(AnswerSink answers) {
    std::lock_guard guard(perform_lock_);
    std::swap(answer_sink_, answers);
    return answers;
}

CURLcode FtpHandle::perform(const std::string& url, const char* list_command, curl_slist* quote,
                            std::string* body) {
    std::lock_guard guard(perform_lock_);
    if (aborted_)
        return CURLE_ABORTED_BY_CALLBACK;
    file_.cancel();
    answers_.clear();
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &FtpHandle::collect_body);
    curl_easy_setopt(curl_, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, body == nullptr ? 1L : 0L);
    curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, list_command);
    curl_easy_setopt(curl_, CURLOPT_QUOTE, quote);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, body);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, body != nullptr ? ListingBytesPerSecond : 1L);
    const CURLcode code = run_transfer();
    curl_easy_setopt(curl_, CURLOPT_QUOTE, nullptr);
    // File transfers keep the check against a full stop only.
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    return code;
}

// Drives the transfer with waits of at most a few milliseconds: this libcurl
// sometimes sets no timer while it opens a data connection and would sleep a
// whole second in its own wait, once every few listings.
CURLcode FtpHandle::run_transfer() {
    curl_multi_add_handle(multi_, curl_);
    int running = 1;
    CURLMcode state = curl_multi_perform(multi_, &running);
    // A step libcurl left with nothing to wait on runs again at once instead of
    // after a wait; only once in a row, so a transfer that truly waits on
    // nothing still polls.
    bool ran_again = false;
    while (state == CURLM_OK && running > 0) {
        ran_again = !ran_again && waits_on_nothing(multi_);
        if (!ran_again) {
            long wanted = -1;
            curl_multi_timeout(multi_, &wanted);
            const int wait = wanted >= 0 && wanted < 2 ? static_cast<int>(wanted) : 2;
            state = curl_multi_poll(multi_, nullptr, 0, wait, nullptr);
        }
        if (state == CURLM_OK)
            state = curl_multi_perform(multi_, &running);
    }
    CURLcode result = state == CURLM_OK ? CURLE_OK : CURLE_RECV_ERROR;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl_)
            result = message->data.result;
    curl_multi_remove_handle(multi_, curl_);
    return result;
}

std::size_t FtpHandle::collect_body(char* data, std::size_t size, std::size_t count, void* body) {
    if (body != nullptr)
        static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

int FtpHandle::debug(CURL*, curl_infotype type, char* data, std::size_t size, void* handle) {
    if (type != CURLINFO_HEADER_IN)
        return 0;
    auto* self = static_cast<FtpHandle*>(handle);
    std::string line(data, size);
    self->answers_ += line;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (self->answer_sink_ && !line.empty())
        self->answer_sink_(line);
    return 0;
}

int FtpHandle::progress(void* handle, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<FtpHandle*>(handle)->aborted_ ? 1 : 0;
}

}  // namespace tovan
