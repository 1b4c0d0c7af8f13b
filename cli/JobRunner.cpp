#include "cli/JobRunner.h"

#include <thread>

#include "app/TextFormats.h"
#include "cli/CliError.h"
#include "cli/JobText.h"
#include "cli/Progress.h"
#include "cli/StopSignal.h"

namespace tovan::cli {
namespace {

constexpr std::chrono::milliseconds Step{200};
constexpr std::chrono::seconds PauseLimit{5};

}  // namespace

void JobRunner::run(std::size_t id, const SharedPtr<Downloader>& job) {
    const StopSignal stop;
    job->set_session(session_.application()->internet_session());
    job->resume();
    if (!follow(*job)) {
        pause(*job);
        session_.save();
        throw CliError("paused job " + std::to_string(id) + " (" + job->status().name +
                       "); `ferrovane-cli jobs resume " + std::to_string(id) +
                       "` goes on from there");
    }
    session_.save();
    const Downloader::Status status = job->status();
    output_.result(JobText::record(id, *job),
                   "downloaded " + status.name + " to " + job->destination_path() + " (" +
                       size_text(static_cast<std::int64_t>(status.total)) + ")");
}

bool JobRunner::follow(Downloader& job) const {
    Progress progress;
    bool waiting = false;
    while (!job.is_finished()) {
        StopSignal::wait(Step);
        if (StopSignal::requested())
            return false;
        const Downloader::Status status = job.status();
        const bool now_waiting = status.state == Downloader::State::Waiting;
        if (now_waiting && !waiting) {
            progress.clear();
            Output::note(status.name + ": the transfer failed; trying again in " +
                         std::to_string(status.wait_seconds) + " s (Ctrl+C pauses it)");
        }
        waiting = now_waiting;
        progress.show(JobText::progress(status));
    }
    return true;
}

void JobRunner::pause(Downloader& job) {
    job.pause();
    const auto end = std::chrono::steady_clock::now() + PauseLimit;
    while (job.has_thread() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace tovan::cli
