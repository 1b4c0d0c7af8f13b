#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/CommandContext.h"
#include "engine/download/Downloader.h"

namespace CLI {
class App;
}

namespace tovan::cli {

// download and jobs: copying files and folders, from a URL or from the catalog,
// into a local folder with resume, and steering the stored jobs.
class DownloadCommands {
public:
    explicit DownloadCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    enum class Steer { Pause, Resume, Again, Remove };

    void add_tries(CLI::App& command);
    std::size_t job_number() const;
    std::uint32_t tries() const;
    void download();
    void check_source() const;
    void list_jobs();
    void steer(Steer action);
    std::string destination(Session& session) const;
    SharedPtr<Downloader> make_job(Session& session, const std::string& folder) const;

    CommandContext& context_;
    std::string source_;
    std::string to_;
    bool changed_ = false;
    std::string id_;
    std::string tries_ = "3";
};

}  // namespace tovan::cli
