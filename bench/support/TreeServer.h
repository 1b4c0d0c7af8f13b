#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/catalog/Server.h"

namespace tovan {

// A server for a local tree whose change filter marks every file, scanned with
// the given number of threads (0: automatic); null when the tree is no place.
inline SharedPtr<Server> tree_server(const std::string& tree, const char* threads) {
    static ScanFilter everything;
    everything.set_masks({"*.*"});
    SharedPtr<Server> server = make_shared<Server>();
    server->set_parent_filter(&everything);
    if (!server->from_url(tree + "/"))
        return {};
    server->set_connections_limit(static_cast<std::uint32_t>(std::atoi(threads)));
    return server;
}

}  // namespace tovan
