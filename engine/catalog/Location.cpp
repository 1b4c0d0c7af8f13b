#include "engine/catalog/Location.h"

#include <sys/stat.h>

#include <cctype>
#include <utility>

#include "engine/catalog/UrlAuthority.h"
#include "engine/catalog/UrlEscapes.h"
#include "tovan/Blanks.h"
#include "tovan/Paths.h"

namespace tovan {
namespace {

constexpr std::pair<const char*, ServerKind> Schemes[] = {
    {"smb", ServerKind::Network}, {"ftp", ServerKind::Ftp},   {"ftps", ServerKind::Ftps},
    {"sftp", ServerKind::Sftp},   {"http", ServerKind::Http}, {"https", ServerKind::Https},
};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool is_letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string unquoted(std::string_view text) {
    text = without_blanks_around(text);
    if (!text.empty() && text.front() == '"')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == '"')
        text.remove_suffix(1);
    return std::string(without_blanks_around(text));
}

// Plain paths are no URLs: of their escapes only "%20" is read, as it always was.
std::string with_blanks_decoded(std::string_view text) {
    std::string result(text);
    for (std::size_t at; (at = result.find("%20")) != std::string::npos;)
        result.replace(at, 3, " ");
    return result;
}

void make_rooted(std::string& path) {
    if (!path.starts_with('/'))
        path.insert(0, 1, '/');
}

std::optional<Location> refused(std::string& problem, std::string why) {
    problem = std::move(why);
    return std::nullopt;
}

std::string unknown_scheme(const std::string& scheme) {
    return "the scheme " + quoted(scheme) +
           " is not one Ferrovane reads: ftp://, ftps://, sftp://, smb://, http://, https:// or "
           "file://";
}

// RFC 3986's scheme: a letter, then letters, digits, "+", "-" or "."; lower case.
std::string scheme_of(std::string_view text) {
    if (text.empty() || !is_letter(text[0]))
        return {};
    std::string scheme;
    for (const char c : text) {
        if (c == ':')
            return scheme;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            break;
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return {};
}

// [domain;]login[:password] for a network host, login[:password] for FTP.
void read_login(std::string_view userinfo, Location& location) {
    if (const std::size_t semicolon = userinfo.find(';');
        location.kind == ServerKind::Network && semicolon != std::string_view::npos) {
        location.domain = percent_decoded(userinfo.substr(0, semicolon));
        userinfo.remove_prefix(semicolon + 1);
    }
    const std::size_t colon = userinfo.find(':');
    location.login = percent_decoded(userinfo.substr(0, colon));
    if (colon != std::string_view::npos)
        location.password = percent_decoded(userinfo.substr(colon + 1));
}

// An authority and a path: of a URL when is_url, else of a \\host\share path.
std::optional<Location> read_with_host(std::string_view text, ServerKind kind, bool is_url,
                                       std::string& problem) {
    const std::size_t end = text.find_first_of(kind == ServerKind::Network ? "/\\" : "/");
    const auto authority = UrlAuthority::read(text.substr(0, end), problem);
    if (!authority)
        return std::nullopt;
    Location location;
    location.kind = kind;
    location.host = authority->host;
    location.port = authority->port;
    if (authority->userinfo) {
        if (is_http(kind))
            return refused(problem,
                           "Ferrovane logs in to no HTTP server; leave the login out of the URL");
        if (!is_url)
            return refused(problem, "a login goes in an smb:// URL: smb://login@host/share");
        read_login(*authority->userinfo, location);
    }
    // libsmbclient takes no bracketed address, and a bare one would read as host:port.
    if (kind == ServerKind::Network && location.host.find(':') != std::string::npos)
        return refused(problem, "an SMB host goes by its name or IPv4 address, not by IPv6");
    const std::string_view path = end == std::string_view::npos ? "" : text.substr(end);
    location.path = is_url && !is_http(kind) ? percent_decoded(path) : with_blanks_decoded(path);
    if (kind != ServerKind::Network)
        make_rooted(location.path);
    return location;
}

std::optional<Location> read_drive_path(const std::string& text, std::string& problem) {
    if (text.find_first_of("/\\") == std::string::npos)
        return refused(problem, "a drive path needs a folder after " + quoted(text.substr(0, 2)));
    Location location;
    location.drive = text.substr(0, 2);
    location.path = text.substr(2);
    return location;
}

std::optional<Location> read_local(std::string path) {
    Location location;
    location.path = std::move(path);
    return location;
}

// What follows "file://": "/srv/dir", "/C:/dir", "C:\dir", "host/share" or "//host/share".
std::optional<Location> read_file_url(std::string_view rest, std::string& problem) {
    if (rest.starts_with("//"))
        return read_with_host(rest.substr(2), ServerKind::Network, true, problem);
    if (rest.size() > 2 && rest[0] == '/' && is_letter(rest[1]) && rest[2] == ':')
        return read_drive_path(percent_decoded(rest.substr(1)), problem);
    if (rest.size() > 1 && is_letter(rest[0]) && rest[1] == ':')
        return read_drive_path(percent_decoded(rest), problem);
    if (rest.starts_with('/'))
        return read_local(percent_decoded(rest));
    return read_with_host(rest, ServerKind::Network, true, problem);
}

std::optional<Location> read_url(const std::string& scheme, std::string_view rest,
                                 std::string& problem) {
    if (scheme == "file")
        return read_file_url(rest, problem);
    for (const auto& [name, kind] : Schemes)
        if (scheme == name)
            return read_with_host(rest, kind, true, problem);
    return refused(problem, unknown_scheme(scheme));
}

bool is_known(const std::string& scheme) {
    if (scheme == "file")
        return true;
    for (const auto& each : Schemes)
        if (scheme == each.first)
            return true;
    return false;
}

std::optional<Location> read_text(const std::string& text, std::string& problem) {
    if (text.starts_with("\\\\") || text.starts_with("//"))
        return read_with_host(std::string_view(text).substr(2), ServerKind::Network, false,
                              problem);
    if (text.starts_with('/'))
        return read_local(with_blanks_decoded(text));
    if (is_letter(text[0]) && text[1] == ':')
        return read_drive_path(with_blanks_decoded(text), problem);
    const std::string scheme = scheme_of(text);
    const std::string_view rest =
        std::string_view(text).substr(scheme.empty() ? 0 : scheme.size() + 1);
    if (!scheme.empty() && rest.starts_with("//"))
        return read_url(scheme, rest.substr(2), problem);
    if (!scheme.empty() && rest.starts_with('/'))
        return refused(problem, is_known(scheme)
                                    ? quoted(scheme + ":") + " must be followed by \"//\""
                                    : unknown_scheme(scheme));
    // login:password@host:port/path is an FTP location without its scheme.
    return read_with_host(text, ServerKind::Ftp, true, problem);
}

bool is_directory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Takes the file name off the path; an existing local folder gets its separator instead.
std::string split_file_name(Location& location) {
    std::string& path = location.path;
    if (location.kind == ServerKind::Local && location.drive.empty() && is_directory(path)) {
        if (!ends_in_separator(path))
            path += '/';
        return {};
    }
    if (path.empty() || is_separator(path.back()))
        return {};
    std::size_t at = path.rfind('/');
    if (at == std::string::npos)
        at = path.rfind('\\');
    if (at == std::string::npos)
        return {};
    std::string name = path.substr(at + 1);
    path.erase(at + 1);
    return name;
}

}  // namespace

std::optional<Location> Location::read(std::string_view input, std::string* file_name,
                                       std::string* problem) {
    const std::string text = unquoted(input);
    std::string why = text.empty() ? "it is empty" : "it is too short to name a place";
    std::optional<Location> location;
    if (text.size() >= 2 || text == "/")
        location = read_text(text, why);
    if (!location) {
        if (problem != nullptr)
            *problem = std::move(why);
        return std::nullopt;
    }
    std::string name = split_file_name(*location);
    if (file_name != nullptr)
        *file_name = std::move(name);
    return location;
}

bool Location::is_url(std::string_view text) {
    const std::size_t colon = text.find(":/");
    const bool has_scheme = colon != std::string_view::npos && colon > 1 && is_letter(text[0]) &&
                            text.find('/') > colon;
    return has_scheme || text.starts_with("\\\\") || text.starts_with("//");
}

}  // namespace tovan
