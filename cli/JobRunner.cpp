#include "cli/JobRunner.h"

#include <unistd.h>

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

// A job that left files out (gone from the server, names this system refuses)
// has not done its work.
void JobRunner::check_failed(std::size_t id, Downloader& job) const {
    const Downloader::Status status = job.status();
    if (status.state != Downloader::State::Failed)
        return;
    const std::string job_text = "job " + std::to_string(id) + " (" + status.name + ")";
    if (status.item_count == 0)
        throw CliError(job_text + " found nothing to download: " + status.failure);
    const std::size_t missing = status.item_count - status.completed_count;
    throw CliError(std::to_string(missing) + " of " + std::to_string(status.item_count) +
                   " files of " + job_text + " could not be downloaded: " + status.failure +
                   "; once that is mended, `ferrovane-cli jobs again " + std::to_string(id) +
                   "` tries again");
}

void JobRunner::run(std::size_t id, const SharedPtr<Downloader>& job) {
    if (session_.holder())
        return leave_running(id, job);
    const StopSignal stop;
    start(job);
    const std::string resume_hint =
        "; `ferrovane-cli jobs resume " + std::to_string(id) + "` goes on from there";
    if (!follow(*job)) {
        pause(*job);
        session_.save();
        throw CliError("paused job " + std::to_string(id) + " (" + job->status().name + ")" +
                       resume_hint);
    }
    session_.save();
    if (!job->is_finished())
        throw CliError("job " + std::to_string(id) + " (" + job->status().name +
                       ") stopped: " + job->stop_reason() + resume_hint);
    check_failed(id, *job);
    report(id, *job);
}

void JobRunner::start(const SharedPtr<Downloader>& job) const {
    job->set_session(session_.internet_session());
    job->set_tries(tries_);
    job->resume();
}

// The process that holds the data folder keeps the job running after the
// client's command ends, as it runs its own jobs.
void JobRunner::leave_running(std::size_t id, const SharedPtr<Downloader>& job) const {
    start(job);
    session_.save();
    output_.message("job " + std::to_string(id) + " (" + job->status().name +
                    ") runs in the running Ferrovane (process " + std::to_string(::getpid()) +
                    "); `ferrovane-cli jobs` shows how far it is");
}

// Where the files went: a file whose name was taken by another one got a free
// name, which the user has to know.
void JobRunner::report(std::size_t id, const Downloader& job) const {
    const DownloadTask task = job.task();
    std::vector<const DownloadItem*> renamed;
    for (const DownloadItem& item : task.completed)
        if (!item.saved_as.empty() && item.saved_as != item.destination)
            renamed.push_back(&item);
    if (!renamed.empty())
        Output::note(renamed.front()->destination + " is another file, which is left as it is; " +
                     "saved as " + renamed.front()->saved_as +
                     (renamed.size() > 1 ? " (and " + std::to_string(renamed.size() - 1) +
                                               " more files under free names)"
                                         : ""));
    const bool one_file = task.completed.size() == 1 && !task.completed.front().saved_as.empty();
    const std::string where = one_file ? task.completed.front().saved_as : job.destination_path();
    nlohmann::json record = JobText::record(id, job);
    record["saved_as"] = where;
    output_.result(record, "downloaded " + task.name + " to " + where + " (" +
                               size_text(static_cast<std::int64_t>(task.total)) + ")");
}

// Ends when the job is finished, or its thread stopped without finishing it
// (it gave up, or could not write); false when a stop was asked for.
bool JobRunner::follow(Downloader& job) const {
    Progress progress;
    bool waiting = false;
    while (!job.is_finished() && job.has_thread()) {
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
    job.wait_for_thread(PauseLimit);
}

}  // namespace tovan::cli
