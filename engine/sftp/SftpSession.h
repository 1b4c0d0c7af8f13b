#pragma once

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "engine/connection/ReachFailure.h"

namespace tovan {

// One SSH session with its SFTP channel, used by one thread at a time: a scan
// thread's or a download's. The host key is checked before any login, against
// the user's ~/.ssh/known_hosts and the program's own known_hosts file.
class SftpSession {
public:
    struct Settings {
        std::string host;
        std::uint32_t port = 22;
        std::string login;     // empty: the local user's name
        std::string password;  // empty: the ssh agent and the keys of ~/.ssh
    };
    using AnswerSink = std::function<void(const std::string&)>;

    SftpSession(Settings settings, AnswerSink answers);
    ~SftpSession();
    SftpSession(const SftpSession&) = delete;
    SftpSession& operator=(const SftpSession&) = delete;

    // Connects, checks the host key, logs in and starts SFTP; false with the
    // kind of failure when any step fails.
    bool open(ReachFailure& failure);
    // Connects and reads the host key only, so that the user can be asked.
    bool handshake(ReachFailure& failure);
    // The host key's fingerprint in OpenSSH's form ("SHA256:...") and its line
    // for a known_hosts file, after handshake.
    std::string offered_fingerprint() const;
    std::string known_hosts_line() const;

    // Makes a blocked call fail at once, from any thread.
    void abort();

    sftp_session sftp() const { return sftp_; }
    const std::string& host() const { return settings_.host; }
    // The server's last SFTP status and libssh's words for it, for logs.
    std::string error_text() const;
    int sftp_error() const;
    bool connected() const;
    void log(const std::string& line) const;
    // Replaces where answers go; the previous sink, to be put back.
    AnswerSink set_answer_sink(AnswerSink sink);

private:
    bool check_host_key(ReachFailure& failure);
    bool log_in(ReachFailure& failure);
    bool start_sftp(ReachFailure& failure);
    ReachFailure connect_failure() const;

    Settings settings_;
    mutable std::mutex answers_lock_;
    AnswerSink answers_;
    ssh_session ssh_ = nullptr;
    sftp_session sftp_ = nullptr;
    std::atomic<int> socket_{-1};
};

}  // namespace tovan
