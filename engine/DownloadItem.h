#pragma once

#include <cstdint>
#include <string>

namespace tovan {

// One file of a download task: where it comes from, where it goes, how big it
// is and how much of it has arrived.
struct DownloadItem {
    std::string source;
    std::string destination;
    std::uint64_t size = 0;
    std::uint64_t downloaded = 0;

    bool operator==(const DownloadItem&) const = default;
};

}  // namespace tovan
