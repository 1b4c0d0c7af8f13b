#include "cli/JobText.h"

#include "app/DownloadText.h"
#include "app/TextFormats.h"

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
    nlohmann::json record = {{"id", id},
                             {"name", status.name},
                             {"state", state_name(status.state)},
                             {"completed", status.completed_count},
                             {"files", status.item_count},
                             {"total", status.total},
                             {"destination", job.destination_path()}};
    if (status.progress >= 0)
        record["progress"] = status.progress;
    if (status.state == Downloader::State::Running)
        record["speed"] = status.speed;
    if (status.state == Downloader::State::Failed)
        record["failure"] = status.failure;
    return record;
}

std::string JobText::progress(const Downloader::Status& status) {
    return status.name + "  " +
           progress_text(status.progress, status.file_progress, status.item_count) + "  " +
           speed_column_text(status) + "  " + files_text(status) + "  " + status.status;
}

}  // namespace tovan::cli
