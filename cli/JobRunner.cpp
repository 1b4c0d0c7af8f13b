#include "cli/JobRunner.h"

#include <cctype>
#include <sstream>

#include "app/TextFormats.h"
#include "cli/CliError.h"
#include "cli/JobText.h"
#include "cli/Progress.h"
#include "cli/StopSignal.h"

namespace tovan::cli {
namespace {

constexpr std::chrono::milliseconds Step{200};
constexpr std::chrono::seconds PauseLimit{5};

// The server's last refusal in a transfer log: an HTTP status line or an FTP
// reply of the 4xx or 5xx kind; empty when there is none.
std::string refusal_in(const std::string& log) {
    std::istringstream lines(log);
    std::string refusal;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool http = line.starts_with("HTTP/") && (line.find(" 4") != std::string::npos ||
                                                        line.find(" 5") != std::string::npos);
        const bool ftp = line.size() > 3 && (line[0] == '4' || line[0] == '5') &&
                         std::isdigit(static_cast<unsigned char>(line[1])) &&
                         std::isdigit(static_cast<unsigned char>(line[2])) &&
                         (line[3] == ' ' || line[3] == '-');
        if (http || ftp)
            refusal = line;
    }
    return refusal;
}

}  // namespace

// The job drops a file its server no longer has; that is no success to report.
void JobRunner::check_dropped(std::size_t id, Downloader& job, std::size_t expected) const {
    const Downloader::Status status = job.status();
    if (status.completed_count >= expected)
        return;
    const std::string reason = refusal_in(job.log().text());
    throw CliError(std::to_string(expected - status.completed_count) + " of " +
                   std::to_string(expected) + " files of job " + std::to_string(id) + " (" +
                   status.name + ") could not be downloaded" +
                   (reason.empty() ? std::string() : ": " + reason) +
                   "; check that the source is still there");
}

void JobRunner::run(std::size_t id, const SharedPtr<Downloader>& job) {
    const StopSignal stop;
    job->set_session(session_.application()->internet_session());
    job->resume();
    const std::size_t expected = job->status().item_count;
    if (!follow(*job)) {
        pause(*job);
        session_.save();
        throw CliError("paused job " + std::to_string(id) + " (" + job->status().name +
                       "); `ferrovane-cli jobs resume " + std::to_string(id) +
                       "` goes on from there");
    }
    session_.save();
    check_dropped(id, *job, expected);
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
    job.wait_for_thread(PauseLimit);
}

}  // namespace tovan::cli
