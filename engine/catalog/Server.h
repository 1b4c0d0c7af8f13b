#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/catalog/CatalogStats.h"
#include "engine/catalog/Entry.h"
#include "engine/catalog/FtpSettings.h"
#include "engine/catalog/ScanFilter.h"
#include "engine/catalog/ServerKind.h"
#include "engine/catalog/TlsTrust.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One watched place: a local folder, a network host or share, an FTP or HTTP
// server. It owns the root of the place's catalog, the settings that reach it, its
// scan settings and change filter, a short activity log and the last scan error.
class Server {
public:
    static constexpr std::int32_t FullScan = -2;
    static constexpr std::int32_t DefaultDepth = -1;
    static constexpr std::int32_t NoScan = 0;

    Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Configures the server from what a user typed or pasted. Leaves the server
    // unchanged and returns false for a text that names no place; problem, when
    // given, then receives why. file_name, when given, receives the file name the
    // location ends in.
    bool from_url(std::string_view text, std::string* file_name = nullptr,
                  std::string* problem = nullptr);
    void set_local(std::string drive, std::string location);
    void set_network(std::string host, std::string location);
    // kind: Ftp, or Ftps for a server that requires TLS.
    void set_ftp(const FtpSettings& settings, std::string location,
                 ServerKind kind = ServerKind::Ftp);
    // kind: Http, or Https.
    void set_http(std::string host, std::uint32_t port, std::string location,
                  ServerKind kind = ServerKind::Http);
    void reset_root();

    // The location as shown to the user; of the root when entry is null.
    std::string url(const Entry* entry = nullptr) const;
    // The same with a scheme, as another program opens it.
    std::string url_with_scheme(const Entry* entry = nullptr) const;
    std::string title() const;
    // The location as the downloaders open it.
    std::string source_path(const Entry* entry = nullptr) const;

    std::int32_t scan_depth(const Entry& folder) const;
    void set_scan_depth(const Entry& folder, std::int32_t depth);
    std::int32_t effective_scan_depth(const Entry& entry) const;
    // The depth set nearest at or above a folder, and how many folders up.
    struct DepthSetting {
        std::int32_t depth = DefaultDepth;
        std::int32_t climbed = 0;
    };
    DepthSetting nearest_depth_setting(const Entry& entry) const;
    // What a folder's scan depth is under the setting nearest above it.
    static std::int32_t effective_depth(DepthSetting setting);
    bool is_change_ignored(const Entry& entry) const;
    // True when the change filter ignores no change at all, as "*.*" alone does.
    bool marks_every_change() const { return filter_.includes_everything(); }
    // The same for an entry whose name and full path the caller has case
    // folded: a merge checks every item of a folder and folds its path once.
    bool is_change_ignored_folded(std::string_view name, std::string_view full_path) const;
    std::int64_t recursive_last_scan_time(const Entry& entry) const;
    void statistics(CatalogStats& out) const;

    void log_text(std::string_view text);
    std::string log_contents() const;
    void clear_log();
    void set_last_error(std::string text);
    std::string last_error() const;
    // Kept beside the server's record, set by whoever loads it; read by every
    // connection the server opens.
    void set_tls_trust(TlsTrust trust);
    TlsTrust tls_trust() const;

    SharedPtr<Entry> root() const;
    void set_root(const SharedPtr<Entry>& root);
    ServerKind kind() const { return kind_; }
    const std::string& location() const { return location_; }
    const std::string& drive() const { return drive_; }
    const std::string& host() const { return host_; }
    const std::string& http_host() const { return http_host_; }
    std::uint32_t http_port() const { return http_port_; }
    const FtpSettings& ftp() const { return ftp_; }
    std::uint32_t connections_limit() const { return connections_limit_; }
    void set_connections_limit(std::uint32_t limit) { connections_limit_ = limit; }
    std::uint32_t delay() const { return delay_; }
    void set_delay(std::uint32_t ms) { delay_ = ms; }
    ScanFilter& filter() { return filter_; }
    const ScanFilter& filter() const { return filter_; }
    void set_parent_filter(const ScanFilter* filter) { filter_.set_parent(filter); }
    const std::string& catalog_name() const { return catalog_name_; }
    void set_catalog_name(std::string name) { catalog_name_ = std::move(name); }

private:
    void reroot();
    std::string full_path_or_root(const Entry* entry) const;

    mutable std::mutex log_lock_;
    std::string log_;
    SharedPtr<Entry> root_;
    ServerKind kind_ = ServerKind::Local;
    std::string location_;
    std::uint32_t connections_limit_ = 1;
    std::uint32_t delay_ = 0;
    ScanFilter filter_;
    std::string http_host_;
    std::uint32_t http_port_ = 80;
    FtpSettings ftp_;
    std::string drive_;
    std::string host_;
    mutable std::mutex error_lock_;
    std::string last_error_;
    TlsTrust tls_trust_;
    std::string catalog_name_;
};

// Eight letters from "A" to "T", drawn from a generator seeded once per process
// from a real random source, so servers made in the same second differ.
std::string make_catalog_name();

}  // namespace tovan
