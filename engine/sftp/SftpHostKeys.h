#pragma once

#include <string>

#include "engine/connection/ReachFailure.h"

namespace tovan {

class Server;

// The host keys the user accepted in this program, kept in "known_hosts" of the
// data folder in OpenSSH's form; the user's ~/.ssh/known_hosts is read too but
// never written.
class SftpHostKeys {
public:
    // The data folder whose file is used; until it is set, only the user's file.
    static void use_folder(const std::string& data_folder);
    static std::string own_file();
    static std::string user_file();

    // Connects to the server and reads its host key: the fingerprint to show,
    // empty when the key is known already or the server can't be reached (then
    // failure says why, a changed key included).
    static std::string unknown_fingerprint(const Server& server, ReachFailure& failure);
    // Adds the server's key to the own file, when it still has the fingerprint
    // the user accepted; false with failure set otherwise. Raises
    // tovan::io::Failure when the file can't be written.
    static bool trust(const Server& server, const std::string& fingerprint, ReachFailure& failure);
};

}  // namespace tovan
