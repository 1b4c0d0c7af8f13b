#include "engine/Location.h"

#include <sys/stat.h>

#include <cctype>

namespace tovan {
namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

std::string_view trim_blanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Unquotes, resolves file URLs and decodes blanks.
std::string normalize(std::string_view text) {
    text = trim_blanks(text);
    if (!text.empty() && text.front() == '"') text.remove_prefix(1);
    if (!text.empty() && text.back() == '"') text.remove_suffix(1);
    std::string result(trim_blanks(text));
    if (result.size() >= 7 && result.starts_with("file://")) {
        const auto at = [&](std::size_t i) { return i < result.size() ? result[i] : '\0'; };
        if (at(9) == ':')  // file:///C:/dir
            result.erase(0, 8);
        else if (at(8) == ':' && std::isalpha(static_cast<unsigned char>(at(7))))  // file://C:\dir
            result.erase(0, 7);
        else if (at(7) == '/')  // file:///srv/dir
            result.erase(0, 7);
        else  // file://host/share
            result = "\\\\" + result.substr(7);
    }
    for (std::size_t at; (at = result.find("%20")) != std::string::npos;) result.replace(at, 3, " ");
    return result;
}

bool is_network(std::string_view text) {
    return text.starts_with("\\\\") || text.starts_with("//") || text.starts_with("smb://");
}

// Where the path part starts: separators of a scheme or of the two leading
// slashes of a network path never split off a file name.
std::size_t path_start(std::string_view text) {
    for (std::string_view scheme : {"smb://", "ftp://", "ftps://", "http://", "https://"})
        if (text.starts_with(scheme)) return scheme.size();
    return is_network(text) ? 2 : 0;
}

bool is_directory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void split_file_name(std::string& text, std::string* file_name) {
    if (is_directory(text)) {
        if (!is_separator(text.back())) text += '/';
        return;
    }
    if (is_separator(text.back())) return;
    const std::size_t start = path_start(text);
    std::size_t at = text.rfind('/');
    if (at == std::string::npos || at < start) at = text.rfind('\\');
    if (at == std::string::npos || at < start) return;
    if (file_name != nullptr) *file_name = text.substr(at + 1);
    text.erase(at + 1);
}

bool has_forbidden_host_character(std::string_view host) {
    return host.find_first_of("# ,;\"") != std::string_view::npos;
}

std::string rooted(std::string path) { return path.starts_with('/') ? path : "/" + path; }

// "smb://" may carry a login for the host: [domain;]login[:password]@host.
void read_network_login(std::string_view& text, Location& location) {
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos || text.substr(0, at).find('/') != std::string_view::npos) return;
    std::string_view login = text.substr(0, at);
    text.remove_prefix(at + 1);
    if (const std::size_t semicolon = login.find(';'); semicolon != std::string_view::npos) {
        location.domain = std::string(login.substr(0, semicolon));
        login.remove_prefix(semicolon + 1);
    }
    const std::size_t colon = login.find(':');
    location.login = std::string(login.substr(0, colon));
    if (colon != std::string_view::npos) location.password = std::string(login.substr(colon + 1));
}

Location read_network(std::string_view text) {
    Location location;
    location.kind = ServerKind::Network;
    if (text.starts_with("smb://")) {
        text.remove_prefix(6);
        read_network_login(text, location);
    } else {
        text.remove_prefix(2);
    }
    const std::size_t slash = text.find('/');
    const std::size_t backslash = text.find('\\');
    const std::size_t split = slash < backslash ? slash : backslash;
    location.host = std::string(text.substr(0, split));
    if (split != std::string_view::npos) location.path = std::string(text.substr(split));
    return location;
}

std::optional<Location> read_ftp(std::string_view text) {
    Location location;
    location.kind = ServerKind::Ftp;
    if (text.starts_with("ftp://")) {
        text.remove_prefix(6);
    } else if (text.starts_with("ftps://")) {
        text.remove_prefix(7);
        location.kind = ServerKind::Ftps;
    }
    if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
        location.login = std::string(text.substr(0, colon));
        text.remove_prefix(colon + 1);
    }
    if (const std::size_t at = text.find('@'); at != std::string_view::npos) {
        location.password = std::string(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    const std::size_t slash = text.find('/');
    location.host = std::string(text.substr(0, slash));
    if (slash != std::string_view::npos) location.path = std::string(text.substr(slash + 1));
    if (has_forbidden_host_character(location.host)) return std::nullopt;
    location.path = rooted(std::move(location.path));
    return location;
}

bool is_http_url(std::string_view text) { return text.starts_with("http://") || text.starts_with("https://"); }

// "host:port" names a port; the host of "[::1]:8080" keeps its brackets.
bool split_port(std::string& host, std::uint32_t& port) {
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos || (host.starts_with('[') && colon < host.rfind(']'))) return true;
    const std::string digits = host.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = static_cast<std::uint32_t>(std::stoul(digits));
    host.erase(colon);
    return port > 0 && port < 65536 && !host.empty();
}

std::optional<Location> read_http(std::string_view text) {
    Location location;
    location.kind = text.starts_with("https://") ? ServerKind::Https : ServerKind::Http;
    text.remove_prefix(location.kind == ServerKind::Https ? 8 : 7);
    const std::size_t slash = text.find('/');
    location.host = std::string(text.substr(0, slash));
    if (slash != std::string_view::npos) location.path = std::string(text.substr(slash + 1));
    if (has_forbidden_host_character(location.host) || !split_port(location.host, location.port))
        return std::nullopt;
    location.path = rooted(std::move(location.path));
    return location;
}

std::optional<Location> read_drive_path(const std::string& text) {
    if (text.find_first_of("/\\") == std::string::npos) return std::nullopt;
    Location location;
    location.drive = text.substr(0, 2);
    location.path = text.substr(2);
    return location;
}

}  // namespace

std::optional<Location> Location::read(std::string_view input, std::string* file_name) {
    std::string text = normalize(input);
    if (text.size() < 2 && text != "/") return std::nullopt;
    std::string name;
    split_file_name(text, &name);

    std::optional<Location> location;
    if (is_network(text)) {
        location = read_network(text);
    } else if (text.starts_with('/')) {
        location = Location();
        location->path = text;
    } else if (text[1] != ':') {
        location = is_http_url(text) ? read_http(text) : read_ftp(text);
    } else {
        location = read_drive_path(text);
    }
    if (location && file_name != nullptr) *file_name = std::move(name);
    return location;
}

}  // namespace tovan
