#pragma once

#include <optional>
#include <string>

#include "cli/CliError.h"
#include "engine/catalog/Server.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// Reads a place as a Linux user types it: a local folder relative to the current
// one, ~/..., or a file://, smb://, ftp://, ftps://, http:// or https:// URL.
class ServerUrl {
public:
    struct Parsed {
        SharedPtr<Server> server;
        std::string file_name;  // what the URL ends in, when it names a file
    };

    // Empty when the text names no place; problem, when given, then receives why.
    static std::optional<Parsed> read(const std::string& text, std::string* problem = nullptr);
    // A folder to watch: a URL naming a file is read as the folder of that name.
    static std::optional<Parsed> read_folder(const std::string& text,
                                             std::string* problem = nullptr);

    // The error for a text that read() refused: exit status 2 with the problem.
    static CliError unreadable(const std::string& text, const std::string& problem);

    // The name a new server gets: the last folder name of its location, else
    // its host.
    static std::string default_name(const Server& server);
    // The entry's place as printed: a path or a URL to paste, never with a
    // password.
    static std::string shown(const Server& server, const Entry* entry = nullptr);

private:
    static std::string absolute_local(const std::string& text);
};

}  // namespace tovan::cli
