#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/catalog/Server.h"
#include "engine/download/DownloadItem.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// The stored fields of a download job: its own copy of the source server, its
// files by stage, and where they go. The job that runs it is built from this.
struct DownloadTask {
    SharedPtr<Server> server;
    std::vector<DownloadItem> pending;
    std::vector<DownloadItem> active;
    std::vector<DownloadItem> completed;
    // Files that could not be fetched: gone from the server, or with a name
    // this system refuses.
    std::vector<DownloadItem> dropped;
    std::uint64_t total = 0;
    std::string name;
    std::string destination_folder;
    std::string destination_path;
    // Why the last file was left out: the server's answer or the system's.
    std::string failure;
    // Names the job's partial files, so that one is never taken for another's.
    std::string part_tag;
};

}  // namespace tovan
