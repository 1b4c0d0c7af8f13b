#include "cli/ServerUrl.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/SystemPaths.h"

namespace tovan::cli {

bool ServerUrl::is_url(const std::string& text) {
    return text.find("://") != std::string::npos || text.starts_with("\\\\") ||
           text.starts_with("//");
}

std::string ServerUrl::default_name(const Server& server) {
    std::string location = server.location();
    while (!location.empty() && (location.back() == '/' || location.back() == '\\'))
        location.pop_back();
    const std::size_t slash = location.find_last_of("/\\");
    std::string name = location.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!name.empty())
        return name;
    switch (server.kind()) {
        case ServerKind::Local:
            return "/";
        case ServerKind::Network:
            return server.host();
        case ServerKind::Http:
            return server.http_host();
        default:
            return server.ftp().host;
    }
}

std::string ServerUrl::shown(const Server& server, const Entry* entry) {
    std::string url = server.url(entry);
    const std::string& password = server.ftp().password;
    if (!is_ftp(server.kind()) || password.empty())
        return url;
    const std::string secret = ":" + password + "@";
    if (const std::size_t at = url.find(secret); at != std::string::npos)
        url.replace(at, secret.size(), ":***@");
    return url;
}

std::uint32_t ServerUrl::take_port(std::string& url) {
    // HTTP locations read their port themselves.
    if (!url.starts_with("ftp://") && !url.starts_with("ftps://"))
        return 0;
    const std::size_t scheme_end = url.find("://");
    const std::size_t host_start = scheme_end + 3;
    const std::size_t slash = url.find('/', host_start);
    const std::size_t host_end = slash == std::string::npos ? url.size() : slash;
    const std::size_t at = url.rfind('@', host_end);
    const std::size_t colon = url.rfind(':', host_end);
    if (colon == std::string::npos || colon < host_start ||
        (at != std::string::npos && at >= host_start && colon < at))
        return 0;
    const std::string digits = url.substr(colon + 1, host_end - colon - 1);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    const unsigned long port = std::stoul(digits);
    if (port == 0 || port > 65535)
        return 0;
    url.erase(colon, host_end - colon);
    return static_cast<std::uint32_t>(port);
}

std::string ServerUrl::absolute_local(const std::string& text) {
    std::string path = text;
    if (path == "~" || path.starts_with("~/"))
        path = SystemPaths::environment("HOME") + path.substr(1);
    std::error_code ignored;
    std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
    if (absolute.empty())
        return text;
    if (text.ends_with('/') && !absolute.ends_with('/'))
        absolute += '/';
    return absolute;
}

std::optional<ServerUrl::Parsed> ServerUrl::read(const std::string& text) {
    std::string url = is_url(text) ? text : absolute_local(text);
    const std::uint32_t port = take_port(url);
    Parsed parsed{make_shared<Server>(), {}};
    Server& server = *parsed.server;
    if (!server.from_url(url, &parsed.file_name))
        return std::nullopt;
    if (port != 0 && is_ftp(server.kind())) {
        FtpSettings settings = server.ftp();
        settings.port = port;
        server.set_ftp(settings, server.location(), server.kind());
    }
    return parsed;
}

std::optional<ServerUrl::Parsed> ServerUrl::read_folder(const std::string& text) {
    std::optional<Parsed> parsed = read(text);
    if (!parsed || parsed->file_name.empty())
        return parsed;
    return read(text + "/");
}

}  // namespace tovan::cli
