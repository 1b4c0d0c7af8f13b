#pragma once

#include <cstddef>

#include "cli/Output.h"
#include "cli/Session.h"
#include "engine/Downloader.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// Runs one download job in the foreground until it is finished or the user
// stops it: a progress line on stderr meanwhile, a note when it has to wait
// before trying again, and on SIGINT or SIGTERM the job paused and saved, so
// that a later run resumes it where it stopped.
class JobRunner {
public:
    JobRunner(Session& session, const Output& output) : session_(session), output_(output) {}

    // Raises CliError when the job was stopped before it finished.
    void run(std::size_t id, const SharedPtr<Downloader>& job);

private:
    // False when a stop was asked for.
    bool follow(Downloader& job) const;
    void pause(Downloader& job);
    void check_dropped(std::size_t id, Downloader& job, std::size_t expected) const;

    Session& session_;
    const Output& output_;
};

}  // namespace tovan::cli
