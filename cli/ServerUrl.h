#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Server.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// Reads a place as a Linux user types it: a local folder relative to the current
// one, ~/..., a file:// or smb:// URL, or an ftp:// or ftps:// URL that may carry
// a port (host:2121), which the server's own reading of FTP locations leaves out.
class ServerUrl {
public:
    struct Parsed {
        SharedPtr<Server> server;
        std::string file_name;  // what the URL ends in, when it names a file
    };

    // Empty when the text names no place.
    static std::optional<Parsed> read(const std::string& text);
    // A folder to watch: a URL naming a file is read as the folder of that name.
    static std::optional<Parsed> read_folder(const std::string& text);

    static bool is_url(const std::string& text);
    // The name a new server gets: the last folder name of its location, else
    // its host.
    static std::string default_name(const Server& server);
    // The entry's URL as printed: an FTP password shows as "***", since output
    // ends up in terminals' scrollback and in logs.
    static std::string shown(const Server& server, const Entry* entry = nullptr);

private:
    // Takes ":PORT" out of the host part of a URL; 0 when there is none.
    static std::uint32_t take_port(std::string& url);
    static std::string absolute_local(const std::string& text);
};

}  // namespace tovan::cli
