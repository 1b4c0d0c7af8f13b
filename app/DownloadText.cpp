#include "app/DownloadText.h"

#include "app/TextFormats.h"

namespace tovan {

std::string state_name(Downloader::State state) {
    switch (state) {
        case Downloader::State::Complete:
            return "complete";
        case Downloader::State::Failed:
            return "failed";
        case Downloader::State::Waiting:
            return "waiting";
        case Downloader::State::Connecting:
            return "connecting";
        case Downloader::State::Paused:
            return "paused";
        case Downloader::State::Disconnecting:
            return "disconnecting";
        case Downloader::State::Running:
            return "running";
    }
    return "paused";
}

std::string speed_column_text(const Downloader::Status& status) {
    switch (status.state) {
        case Downloader::State::Failed:
            return status.failure.empty() ? "failed" : "failed: " + status.failure;
        case Downloader::State::Waiting:
            return "wait(" + std::to_string(status.wait_seconds) + "s)";
        case Downloader::State::Running:
            return speed_text(status.speed);
        default:
            return state_name(status.state);
    }
}

}  // namespace tovan
