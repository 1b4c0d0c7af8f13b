#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/download/Downloader.h"

namespace tovan::cli {

// How a download job reads: its number in the jobs list, progress, speed or
// state, files done, name and destination.
class JobText {
public:
    static std::string line(std::size_t id, const Downloader& job);
    static nlohmann::json record(std::size_t id, const Downloader& job);
    // The progress line while the job runs in the foreground.
    static std::string progress(const Downloader::Status& status);
};

}  // namespace tovan::cli
