#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace tovan {

// The one session through which every FTP and HTTP connection of a run is made:
// libcurl is set up once, every handle gets the agent name, and handles share
// one DNS cache.
class InternetSession {
public:
    static constexpr const char* Agent = "Ferrovane";

    InternetSession();
    ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // The session of programs and tests that did not make their own.
    static InternetSession& shared();

    const std::string& agent() const { return agent_; }
    // Gives a new easy handle the session's settings.
    void configure(CURL* handle) const;

    // How long a transfer may go on without real progress before it counts as
    // a lost connection; tests shorten it. Handles made afterwards take it.
    std::int32_t stall_seconds() const { return stall_seconds_.load(std::memory_order_relaxed); }
    void set_stall_seconds(std::int32_t seconds) {
        stall_seconds_.store(seconds, std::memory_order_relaxed);
    }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* session);
    static void unlock(CURL*, curl_lock_data data, void* session);

    std::string agent_ = Agent;
    std::atomic<std::int32_t> stall_seconds_{60};
    CURLSH* share_ = nullptr;
    std::mutex locks_[CURL_LOCK_DATA_LAST];
};

}  // namespace tovan
