#include "engine/catalog/Server.h"

#include <algorithm>
#include <ctime>
#include <random>

#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/Location.h"
#include "engine/catalog/UrlAuthority.h"
#include "engine/catalog/UrlEscapes.h"
#include "engine/smb/SmbCredentials.h"
#include "tovan/Exception.h"
#include "tovan/Utf8Case.h"

namespace tovan {
namespace {

std::string with_backslashes(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

bool has_dot(std::string_view text) {
    return text.find('.') != std::string_view::npos;
}

}  // namespace

std::string make_catalog_name() {
    static std::mutex lock;
    static std::mt19937 generator{std::random_device()()};
    std::lock_guard guard(lock);
    std::string name(8, 'A');
    for (char& letter : name) letter = static_cast<char>('A' + generator() % 20);
    return name;
}

Server::Server() : root_(Entry::create_folder("")), catalog_name_(make_catalog_name()) {}

bool Server::from_url(std::string_view text, std::string* file_name, std::string* problem) {
    std::optional<Location> place = Location::read(text, file_name, problem);
    if (!place)
        return false;
    switch (place->kind) {
        case ServerKind::Local:
            set_local(place->drive, place->path);
            break;
        case ServerKind::Network: {
            // The catalog's paths and libsmbclient take the port as part of the host.
            const std::string host =
                place->host + (place->port != 0 ? ":" + std::to_string(place->port) : "");
            if (!place->login.empty())
                SmbCredentials::remember(host, {place->domain, place->login, place->password});
            set_network(host, place->path);
            break;
        }
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp: {
            FtpSettings settings = ftp_;
            settings.host = place->host;
            settings.login = place->login;
            settings.password = place->password;
            settings.port = place->port != 0 ? place->port : default_port(place->kind);
            set_ftp(settings, place->path, place->kind);
            break;
        }
        case ServerKind::Http:
        case ServerKind::Https: {
            const std::uint32_t port = place->kind == ServerKind::Https ? 443 : 80;
            set_http(place->host, place->port != 0 ? place->port : port, place->path, place->kind);
            break;
        }
    }
    return true;
}

void Server::set_local(std::string drive, std::string location) {
    kind_ = ServerKind::Local;
    drive_ = std::move(drive);
    location_ = std::move(location);
    reroot();
}

void Server::set_network(std::string host, std::string location) {
    kind_ = ServerKind::Network;
    host_ = std::move(host);
    location_ = std::move(location);
    reroot();
}

void Server::set_ftp(const FtpSettings& settings, std::string location, ServerKind kind) {
    kind_ = kind;
    ftp_ = settings;
    location_ = std::move(location);
    reroot();
}

void Server::set_http(std::string host, std::uint32_t port, std::string location, ServerKind kind) {
    kind_ = kind;
    http_host_ = std::move(host);
    http_port_ = port;
    location_ = std::move(location);
    reroot();
}

void Server::reset_root() {
    set_root(Entry::create_folder(""));
}

SharedPtr<Entry> Server::root() const {
    CatalogGuard guard(catalog_lock());
    return root_;
}

void Server::set_root(const SharedPtr<Entry>& root) {
    SharedPtr<Entry> old;
    {
        CatalogGuard guard(catalog_lock());
        old = root_;
        root_ = root;
    }
    reroot();
}

// Places the root where the kind says and gives every folder below it its path.
void Server::reroot() {
    CatalogGuard guard(catalog_lock());
    root_->make_folder(true);
    std::string path;
    std::string name;
    switch (kind_) {
        case ServerKind::Local:
            path = drive_, name = location_;
            break;
        case ServerKind::Network:
            path = "\\\\" + host_, name = location_;
            break;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
        case ServerKind::Http:
        case ServerKind::Https:
            path = location_;
            break;
    }
    root_->set_name(name);
    root_->rebase_paths(path);
}

std::string Server::full_path_or_root(const Entry* entry) const {
    return entry != nullptr ? entry->full_path() : root()->full_path();
}

std::string Server::url(const Entry* entry) const {
    const std::string full = full_path_or_root(entry);
    switch (kind_) {
        case ServerKind::Local:
            // A POSIX path keeps its slashes; only drive paths use backslashes.
            return drive_.empty() ? full : with_backslashes(full);
        case ServerKind::Network:
            return with_backslashes(full);
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp: {
            std::string url = std::string(scheme_of(kind_)) + "://";
            if (!ftp_.login.empty() && !ftp_.password.empty())
                url += userinfo_encoded(ftp_.login) + ":" + userinfo_encoded(ftp_.password) + "@";
            // Without a password the login still names whom to log in as.
            else if (kind_ == ServerKind::Sftp && !ftp_.login.empty())
                url += userinfo_encoded(ftp_.login) + "@";
            url += UrlAuthority::url_host(ftp_.host);
            if (ftp_.port != default_port(kind_))
                url += ":" + std::to_string(ftp_.port);
            return url + full;
        }
        case ServerKind::Http:
        case ServerKind::Https: {
            const bool tls = kind_ == ServerKind::Https;
            std::string url = (tls ? "https://" : "http://") + UrlAuthority::url_host(http_host_);
            if (http_port_ != (tls ? 443u : 80u))
                url += ":" + std::to_string(http_port_);
            return url + full;
        }
    }
    return full;
}

std::string Server::url_with_scheme(const Entry* entry) const {
    if (kind_ == ServerKind::Local)
        return "file://" + url(entry);
    if (kind_ != ServerKind::Network)
        return url(entry);
    std::string path = full_path_or_root(entry);
    if (path.starts_with("\\\\"))
        path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return "smb://" + path;
}

std::string Server::title() const {
    switch (kind_) {
        case ServerKind::Local:
            return drive_ + location_;
        case ServerKind::Network:
            return host_ + location_;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
        case ServerKind::Http:
        case ServerKind::Https: {
            const std::string& host = has_ftp_settings(kind_) ? ftp_.host : http_host_;
            return host + (location_.starts_with('/') ? "" : "/") + location_;
        }
    }
    return location_;
}

std::string Server::source_path(const Entry* entry) const {
    switch (kind_) {
        case ServerKind::Local:
        case ServerKind::Network:
            return url(entry);
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
        case ServerKind::Http:
        case ServerKind::Https:
            return full_path_or_root(entry);
    }
    throw Exception("NOT IMPLEMENTED");
}

std::int32_t Server::scan_depth(const Entry& folder) const {
    if (!filter_.has_depths())
        return DefaultDepth;
    return filter_.depth(folder.full_path());
}

void Server::set_scan_depth(const Entry& folder, std::int32_t depth) {
    filter_.set_depth(folder.full_path(), depth);
}

Server::DepthSetting Server::nearest_depth_setting(const Entry& entry) const {
    if (!filter_.has_depths())
        return {};
    CatalogGuard guard(catalog_lock());
    std::int32_t climbed = 0;
    for (const Entry* folder = &entry; folder != nullptr; folder = folder->parent(), ++climbed) {
        const std::int32_t depth = scan_depth(*folder);
        if (depth != DefaultDepth)
            return {depth, climbed};
    }
    return {};
}

// A depth of 1 to 6 counts down with each folder below where it was set.
std::int32_t Server::effective_depth(DepthSetting setting) {
    if (setting.depth == DefaultDepth)
        return FullScan;
    if (setting.depth < 1 || setting.depth > 6)
        return setting.depth;
    return std::max(setting.depth - setting.climbed, 0);
}

std::int32_t Server::effective_scan_depth(const Entry& entry) const {
    return effective_depth(nearest_depth_setting(entry));
}

bool Server::is_change_ignored(const Entry& entry) const {
    return is_change_ignored_folded(to_lower_utf8(entry.name()), to_lower_utf8(entry.full_path()));
}

bool Server::is_change_ignored_folded(std::string_view name, std::string_view full_path) const {
    bool included = false;
    std::string dotted;
    for (const std::string_view text : {name, full_path}) {
        ScanFilter::Match match = filter_.match_folded(text);
        if (match == ScanFilter::Match::Excluded)
            return true;
        included |= match == ScanFilter::Match::Included;
        if (has_dot(text))
            continue;
        // A name without an extension still counts as matching "*.*".
        dotted.assign(text);
        dotted += '.';
        match = filter_.match_folded(dotted);
        if (match == ScanFilter::Match::Excluded)
            return true;
        included |= match == ScanFilter::Match::Included;
    }
    return !included;
}

std::int64_t Server::recursive_last_scan_time(const Entry& entry) const {
    if (!entry.is_folder() || effective_scan_depth(entry) == NoScan)
        return 0;
    std::int64_t total = entry.last_listing_ms();
    for (std::size_t i = 0;; ++i) {
        const SharedPtr<Entry> child = entry.child(i);
        if (!child)
            break;
        if (child->is_folder())
            total += recursive_last_scan_time(*child);
    }
    return total;
}

void Server::statistics(CatalogStats& out) const {
    root()->statistics(out);
}

void Server::log_text(std::string_view text) {
    if (text.size() < 2)
        return;
    char stamp[16];
    const std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);

    std::lock_guard guard(log_lock_);
    if (log_.size() > 4096)
        log_.clear();
    log_ += stamp;
    log_ += "\r\n";
    log_ += text;
    log_ += "\r\n";
    if (text.back() != '\n' && text[text.size() - 2] != '\r')
        log_ += "\r\n";
}

std::string Server::log_contents() const {
    std::lock_guard guard(log_lock_);
    return log_;
}

void Server::clear_log() {
    std::lock_guard guard(log_lock_);
    log_.clear();
}

void Server::set_last_error(std::string text) {
    std::lock_guard guard(error_lock_);
    last_error_ = std::move(text);
}

std::string Server::last_error() const {
    std::lock_guard guard(error_lock_);
    return last_error_;
}

void Server::set_tls_trust(TlsTrust trust) {
    std::lock_guard guard(error_lock_);
    tls_trust_ = std::move(trust);
}

TlsTrust Server::tls_trust() const {
    std::lock_guard guard(error_lock_);
    return tls_trust_;
}

}  // namespace tovan
