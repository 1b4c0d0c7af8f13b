#pragma once

#include <libsmbclient.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace tovan {

// One libsmbclient context: its connections to hosts, its logins and its time
// limit. A context must not be used by two threads at once, so every network
// connection (one per scan or download thread) has its own, shared only by the
// finders that connection hands out; calls into libsmbclient take turns
// process-wide all the same, since it keeps shared state without locks.
//
// Logins: a host whose login was given in a location uses it; any other is
// reached as guest.
class SmbContext {
public:
    // How long one request may wait for a host, so one that does not answer is
    // offline within seconds.
    static constexpr int TimeoutMs = 5000;

    SmbContext();
    ~SmbContext();
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    // False when libsmbclient could not be started; errno tells why.
    bool is_ready() const { return context_ != nullptr; }
    int start_error() const { return start_error_; }

    // The host, as the location names it, whose login the following calls use.
    void use_login_of(const std::string& host) { host_ = host; }

    // Open, read and close one folder listing; open gives null and sets errno
    // when it fails. The whole listing arrives with the open.
    SMBCFILE* open_folder(const std::string& url);
    const smbc_dirent* read_share(SMBCFILE* folder);
    const libsmb_file_info* read_item(SMBCFILE* folder);
    void close_folder(SMBCFILE* folder);

    // Open, read, position and close one file; open gives null and sets errno
    // when it fails, the others -1.
    SMBCFILE* open_file(const std::string& url);
    ssize_t read_file(SMBCFILE* file, void* buffer, std::size_t count);
    off_t seek_file(SMBCFILE* file, off_t offset, int whence);
    // The size of an open file, -1 when it cannot be read.
    std::int64_t file_size(SMBCFILE* file);
    void close_file(SMBCFILE* file);
    // Whether the file at url exists.
    bool exists(const std::string& url);

    // May be called from another thread: later listings fail at once. A request
    // under way ends within the time limit.
    void cancel() { cancelled_.store(true); }
    bool is_cancelled() const { return cancelled_.load(); }

private:
    static void authenticate(SMBCCTX* context, const char* server, const char* share,
                             char* workgroup, int workgroup_size, char* user, int user_size,
                             char* password, int password_size);

    // True, with errno set to why, when nothing can be opened: libsmbclient did
    // not start, or the scan was cancelled.
    bool refuses_opening() const;

    SMBCCTX* context_ = nullptr;
    int start_error_ = 0;
    std::string host_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace tovan
