#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/catalog/CatalogStats.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Scanner;

// A node of the servers tree: a group of further nodes, or a node holding one server.
class TreeEntry {
public:
    enum Kind : std::uint32_t { ServerNode = 1, Group = 2, Downloads = 4 };

    std::uint32_t kind = Group;
    std::string name;
    std::vector<SharedPtr<TreeEntry>> children;  // groups only
    SharedPtr<Server> server;                    // server nodes only; may be empty
    bool online = false;                         // last known state of the server
    bool auto_sync_disabled = false;             // left out of scheduled synchronizations
    std::uint32_t remaining_requests = 0;        // progress of the last scan, as stored
    std::int64_t last_scan_ms = 0;               // duration of the last scan
    SharedPtr<Downloader> download;              // nodes below the downloads root
    SharedPtr<Scanner> scanner;                  // while a scan or check of the server runs

    static SharedPtr<TreeEntry> make_group(std::string name);
    static SharedPtr<TreeEntry> make_server_node(SharedPtr<Server> server, std::string name = {});

    // The name, or the server's title when the name is empty.
    std::string label() const;

    // Totals over everything below this node.
    std::uint32_t server_count() const;
    std::uint32_t group_count() const;
    std::uint32_t online_count() const;
    // True when some server below carries a mark; offline ones are skipped when asked.
    bool has_changes(bool online_only) const;
    void statistics(CatalogStats& out) const;

private:
    template <class Visit>
    void for_each_server_node(Visit visit) const;
};

}  // namespace tovan
