#pragma once

#include <map>
#include <mutex>
#include <string>

#include "engine/catalog/TlsTrust.h"

namespace tovan {

class DamagedFiles;
class Server;
struct TreeEntry;

// The certificates the user trusted by their fingerprints and the CA files
// named per server or for all, kept in the data folder's "certificates" (owner
// only), apart from the servers' records. Servers are known by their catalog
// names, which a rename keeps; a server removed drops out at the next save.
class CertificateTrust {
public:
    static constexpr const char* FileName = "certificates";

    // Reads the file of the data folder; a damaged one is reported and
    // left alone, and nothing is trusted beyond the system's authorities.
    void load(const std::string& data_folder, DamagedFiles& damaged);
    // Writes it by a safe save, keeping the servers of the tree alone; nothing
    // when there is nothing to keep and no file yet.
    void save(const std::string& data_folder, const TreeEntry& servers);
    // Gives every server of the tree what it is to trust, and the servers of
    // download jobs what their server of the tree (same kind, host and port) trusts.
    void apply(const TreeEntry& servers) const;
    void apply_to_jobs(const TreeEntry& servers, const TreeEntry& downloads) const;

    TlsTrust of(const Server& server) const;
    // Server's own trust; an empty one forgets it. Applied to the server at once.
    void set(Server& server, const TlsTrust& trust);
    void set_ca_file(std::string path);

private:
    // The window changes it while the saver thread writes it.
    mutable std::mutex lock_;
    std::string ca_file_;  // for every server that names none
    std::map<std::string, TlsTrust> servers_;
};

}  // namespace tovan
