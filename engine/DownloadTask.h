#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DownloadItem.h"
#include "engine/Server.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// The stored fields of a download job: its own copy of the source server, its
// files by stage, and where they go. The job that runs it is built from this.
struct DownloadTask {
    SharedPtr<Server> server;
    std::vector<DownloadItem> pending;
    std::vector<DownloadItem> active;
    std::vector<DownloadItem> completed;
    std::uint64_t total = 0;
    std::string name;
    std::string destination_folder;
    std::string destination_path;
};

}  // namespace tovan
