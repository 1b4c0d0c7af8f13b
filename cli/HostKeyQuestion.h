#pragma once

#include <string>

#include "tovan/SharedPtr.h"

namespace tovan {
class Server;
}

namespace tovan::cli {

class CommandContext;

// An SFTP server's host key that neither the user's known_hosts nor the
// program's own holds is shown and accepted only by the user: on a terminal,
// or by --accept-host-key (trust: by the fingerprint) after checking it. Scans
// run on threads that can't ask, so add, sync and trust ask before they start.
class HostKeyQuestion {
public:
    // For add, before the data folder is opened, so that a command sent to the
    // process holding it carries the answer: the fingerprint accepted, empty
    // when nothing is to be accepted. Raises CliError when the key changed, or
    // when it is unknown and not accepted.
    static std::string ask_for_add(CommandContext& context, const Server& server,
                                   bool accepted_beforehand);
    // For trust: the fingerprint of the unknown key `server` offers, to be
    // accepted: the one given when it matches, else as the user answers on the
    // terminal. CliError when the key is known already, changed or refused.
    static std::string ask_for_trust(const Server& server, const std::string& name,
                                     const std::string& given);
    // For sync on a terminal: asks about each unknown key and stores those accepted.
    static void ask_for_sync(const Server& server);
    // Stores the key the user accepted; CliError when the server offers another.
    static void store(const Server& server, const std::string& fingerprint);
};

}  // namespace tovan::cli
