#pragma once

#include <cstdint>
#include <string>

#include "engine/connection/FileDownloader.h"
#include "engine/download/Downloader.h"

namespace tovan::test {

enum class Outcome { Complete, Dropped, WriteError };

// Runs one file as the job's thread does; bytes_read gets what the reads brought.
inline Outcome download(FileDownloader& downloader, const std::string& source,
                        const std::string& destination, std::uint64_t* bytes_read = nullptr) {
    downloader.start(source, destination);
    if (downloader.complete())
        return Outcome::Complete;
    if (!downloader.is_found())
        return Outcome::Dropped;
    for (;;) {
        const std::int32_t read = downloader.read_chunk(100'000);
        if (bytes_read != nullptr)
            *bytes_read += static_cast<std::uint64_t>(read);
        if (!downloader.is_found())
            return Outcome::Dropped;
        if (downloader.write_error())
            return Outcome::WriteError;
        if (downloader.complete())
            return Outcome::Complete;
    }
}

// The partial file of the job's first unfinished item.
inline std::string part_file(const Downloader& job) {
    const DownloadTask task = job.task();
    return job.part_of(!task.active.empty() ? task.active.front() : task.pending.front());
}

}  // namespace tovan::test
