#pragma once

#include <cstddef>
#include <cstdint>

#include "cli/Output.h"
#include "cli/Session.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// Runs one download job in the foreground until it is finished, gives up after
// its tries, or the user stops it: a progress line on stderr meanwhile, a note
// when it has to wait before trying again, and on SIGINT or SIGTERM the job
// paused and saved, so that a later run resumes it where it stopped. In the
// process that holds the data folder it only starts the job.
class JobRunner {
public:
    // tries: failed tries in a row after which the job gives up; 0: never.
    JobRunner(Session& session, const Output& output, std::uint32_t tries)
        : session_(session), output_(output), tries_(tries) {}

    // Raises CliError when the job was stopped, or gave up, before it finished,
    // or when it left files out.
    void run(std::size_t id, const SharedPtr<Downloader>& job);

private:
    // False when a stop was asked for.
    bool follow(Downloader& job) const;
    void pause(Downloader& job);
    void check_failed(std::size_t id, Downloader& job) const;
    void report(std::size_t id, const Downloader& job) const;
    void start(const SharedPtr<Downloader>& job) const;
    void leave_running(std::size_t id, const SharedPtr<Downloader>& job) const;

    Session& session_;
    const Output& output_;
    std::uint32_t tries_;
};

}  // namespace tovan::cli
