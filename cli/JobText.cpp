#include "cli/JobText.h"

#include "app/DownloadText.h"
#include "app/TextFormats.h"
#include "app/TimeText.h"

namespace tovan::cli {
namespace {

std::string files_text(const Downloader::Status& status) {
    return std::to_string(status.completed_count) + "/" + std::to_string(status.item_count) +
           " files";
}

}  // namespace

std::string JobText::line(std::size_t id, const Downloader& job) {
    const Downloader::Status status = job.status();
    return std::to_string(id) + "  " + speed_column_text(status) + "  " +
           progress_text(status.progress, status.file_progress, status.item_count) + "  " +
           files_text(status) + "  " + size_text(static_cast<std::int64_t>(status.total)) + "  " +
           status.name + " -> " + job.destination_path();
}

nlohmann::json JobText::record(std::size_t id, const Downloader& job) {
    const Downloader::Status status = job.status();
    const bool running = status.state == Downloader::State::Running;
    const bool failed = status.state == Downloader::State::Failed;
    return {{"id", id},
            {"name", status.name},
            {"state", state_name(status.state)},
            {"completed", status.completed_count},
            {"files", status.item_count},
            {"total", status.total},
            {"destination", job.destination_path()},
            {"progress", status.progress >= 0 ? nlohmann::json(status.progress) : nullptr},
            {"speed", running ? nlohmann::json(status.speed) : nullptr},
            {"failure", failed ? nlohmann::json(status.failure) : nullptr}};
}

// "1.5 MB of 3.0 MB  45.0%  2.0 MB/S  0:12 left": the bytes are known once the
// job's size is.
std::string JobText::progress(const Downloader::Status& status) {
    std::string text = status.name + "  ";
    const bool sized = status.progress >= 0 && status.total > 0;
    const auto total = static_cast<std::int64_t>(status.total);
    const auto done = static_cast<std::int64_t>(static_cast<double>(total) * status.progress / 100);
    if (sized)
        text += size_text(done) + " of " + size_text(total) + "  ";
    text += progress_text(status.progress, status.file_progress, status.item_count) + "  " +
            speed_column_text(status);
    if (sized && status.state == Downloader::State::Running && status.speed > 0)
        text += "  " + duration_text((total - done) / status.speed) + " left";
    return text + "  " + files_text(status) + "  " + status.status;
}

}  // namespace tovan::cli
