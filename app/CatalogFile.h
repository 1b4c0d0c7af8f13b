#pragma once

#include <string>

#include "engine/Server.h"
#include "engine/TreeEntry.h"

namespace tovan {

// Each server's catalog lives in a file of its own in the data folder, so the
// server list stays small and a damaged catalog costs only that one server.
class CatalogFile {
public:
    // The server's location with every character but ASCII letters and digits
    // made "_", then "_" and its catalog name, then ".sav". The location leaves
    // out FTP credentials, so no password shows in a file name.
    static std::string file_name(const Server& server);

    // Safe-saves the server's catalog; a failure is logged and the old file stays.
    static bool save(const std::string& folder, const Server& server);
    // Loads the server's catalog when its file exists. A file that cannot be read
    // leaves the server with an empty catalog and is logged.
    static bool load(const std::string& folder, Server& server);

    // Every server below the node, in tree order.
    static void save_all(const std::string& folder, const TreeEntry& node);
    static void load_all(const std::string& folder, const TreeEntry& node);
};

}  // namespace tovan
