#include "cli/ServerUrl.h"

#include <filesystem>

#include "app/PasteUrl.h"
#include "app/SystemPaths.h"
#include "engine/catalog/Location.h"
#include "tovan/Paths.h"

namespace tovan::cli {

CliError ServerUrl::unreadable(const std::string& text, const std::string& problem) {
    std::string line = "\"" + text + "\" can't be read as a place: " + problem;
    // A pasted line break must not split the one line of the error.
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return CliError(line, CliError::Usage);
}

std::string ServerUrl::default_name(const Server& server) {
    std::string name = last_path_part(server.location());
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
    return paste_url(server, entry);
}

std::string ServerUrl::absolute_local(const std::string& text) {
    const std::string path = SystemPaths::expand_home(text);
    std::error_code ignored;
    std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
    if (absolute.empty())
        return text;
    if (text.ends_with('/') && !absolute.ends_with('/'))
        absolute += '/';
    return absolute;
}

std::optional<ServerUrl::Parsed> ServerUrl::read(const std::string& text, std::string* problem) {
    const std::string url = Location::is_url(text) ? text : absolute_local(text);
    Parsed parsed{make_shared<Server>(), {}};
    if (!parsed.server->from_url(url, &parsed.file_name, problem))
        return std::nullopt;
    return parsed;
}

std::optional<ServerUrl::Parsed> ServerUrl::read_folder(const std::string& text,
                                                        std::string* problem) {
    std::optional<Parsed> parsed = read(text, problem);
    if (!parsed || parsed->file_name.empty())
        return parsed;
    return read(text + "/", problem);
}

}  // namespace tovan::cli
