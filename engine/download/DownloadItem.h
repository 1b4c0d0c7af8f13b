#pragma once

#include <cstdint>
#include <string>

namespace tovan {

// One file of a download task: where it comes from, where it goes, how big it
// is and how much of it has arrived. Its bytes arrive in a partial file of the
// job's own and take the destination's name once whole.
struct DownloadItem {
    std::string source;
    std::string destination;
    std::uint64_t size = 0;
    std::uint64_t downloaded = 0;
    // Where the job put the finished file: the destination, or a free name
    // beside it when that was taken; empty until then.
    std::string saved_as{};
    // The bytes counted in downloaded sit in the destination itself, as
    // versions before partial files wrote them.
    bool in_place = false;

    bool operator==(const DownloadItem&) const = default;
};

}  // namespace tovan
