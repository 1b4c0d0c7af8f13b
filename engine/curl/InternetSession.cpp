#include "engine/curl/InternetSession.h"

namespace tovan {
namespace {

void initialize_curl_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

InternetSession::InternetSession() {
    initialize_curl_once();
    share_ = curl_share_init();
    if (share_ == nullptr)
        return;
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &InternetSession::lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &InternetSession::unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
}

InternetSession::~InternetSession() {
    if (share_ != nullptr)
        curl_share_cleanup(share_);
}

InternetSession& InternetSession::shared() {
    static InternetSession session;
    return session;
}

void InternetSession::configure(CURL* handle) const {
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent_.c_str());
    if (share_ != nullptr)
        curl_easy_setopt(handle, CURLOPT_SHARE, share_);
    // Worker threads must not be interrupted by signals for name lookups.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
}

void InternetSession::lock(CURL*, curl_lock_data data, curl_lock_access, void* session) {
    static_cast<InternetSession*>(session)->locks_[data].lock();
}

void InternetSession::unlock(CURL*, curl_lock_data data, void* session) {
    static_cast<InternetSession*>(session)->locks_[data].unlock();
}

}  // namespace tovan
