#pragma once

#include <string>

#include "engine/catalog/Server.h"
#include "engine/tree/TreeEntry.h"

namespace tovan {

class DamagedFiles;

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
    // The same under a file name taken before, for a thread that must not read
    // the server's settings while the interface may change them.
    static bool save_as(const std::string& folder, const std::string& name, const Server& server);
    // Loads the server's catalog when its file exists. Raises tovan::io::Failure
    // when the file is there but cannot be read; the server then has an empty
    // catalog.
    static void load(const std::string& folder, Server& server);

    // Every server below the node, in tree order. A catalog that cannot be written
    // does not stop the others; the first failure is raised once all were tried.
    static void save_all(const std::string& folder, const TreeEntry& node);
    // A catalog that cannot be read leaves its server with an empty catalog and
    // goes to damaged, named by the server's label.
    static void load_all(const std::string& folder, const TreeEntry& node, DamagedFiles& damaged);

private:
    static void write(const std::string& folder, const std::string& name, const Server& server);
    // The file's content after the stream header, taken under the catalog lock.
    static std::string content(const Server& server);
};

}  // namespace tovan
