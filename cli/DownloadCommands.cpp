#include "cli/DownloadCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "app/DownloadList.h"
#include "app/UrlDownload.h"
#include "cli/CliError.h"
#include "cli/JobRunner.h"
#include "cli/JobText.h"
#include "cli/NodeFinder.h"
#include "cli/NumberText.h"
#include "cli/ServerUrl.h"
#include "engine/catalog/Location.h"

namespace tovan::cli {
namespace {

// A path or URL, as opposed to NAME/PATH of the catalog.
bool names_a_place(const std::string& source) {
    return Location::is_url(source) || source.starts_with('/') || source.starts_with('~') ||
           source.starts_with('.');
}

std::string entry_name(const NodeFinder::Target& target) {
    if (!target.entry)
        return NodeFinder::bare_label(*target.node);
    return std::string(target.entry->name());
}

}  // namespace

void DownloadCommands::add_to(CLI::App& app) {
    CLI::App* download =
        app.add_subcommand("download", "Download a URL, or a file or folder of the catalog");
    download->add_option("source", source_, "URL or path of a file, or NAME/PATH in the catalog")
        ->required();
    download->add_option("--to", to_, "Folder to download into (default: the last one, else here)");
    download->add_flag("--changed", changed_, "Only files marked new or modified");
    add_tries(*download);
    context_.on(download, [this] { this->download(); });

    CLI::App* jobs = app.add_subcommand(
        "jobs", "Show the download jobs, or pause, resume, repeat or remove one");
    context_.on(jobs, [this] { list_jobs(); });
    struct Steering {
        const char* name;
        const char* help;
        Steer action;
    };
    const Steering steering[] = {
        {"pause", "Pause a job: a stored job waits for `jobs resume` or `watch`", Steer::Pause},
        {"resume", "Run a job to its end, from where it stopped", Steer::Resume},
        {"again", "Fetch a job's files again, then run it", Steer::Again},
        {"remove", "Remove a job (the files it fetched stay)", Steer::Remove}};
    for (const auto& [name, help, action] : steering) {
        CLI::App* command = jobs->add_subcommand(name, help);
        command->add_option("id", id_, "Job number, as `ferrovane-cli jobs` shows it")->required();
        if (action == Steer::Resume || action == Steer::Again)
            add_tries(*command);
        context_.on(command, [this, action = action] { steer(action); });
    }
}

// A job run here gives up in the end, so a script is not kept waiting for a
// server that is gone; `watch` and the desktop program keep trying.
void DownloadCommands::add_tries(CLI::App& command) {
    command
        .add_option("--tries", tries_,
                    "Give up after this many failed tries in a row, 30 s apart (0: never)")
        ->capture_default_str();
}

std::size_t DownloadCommands::job_number() const {
    const auto number = NumberText::whole(id_, SIZE_MAX);
    if (!number || *number == 0)
        throw CliError(
            id_ + " is not a job number: give the number that `ferrovane-cli jobs` shows",
            CliError::Usage);
    return static_cast<std::size_t>(*number);
}

std::uint32_t DownloadCommands::tries() const {
    const auto number = NumberText::whole(tries_, UINT32_MAX);
    if (!number)
        throw CliError(
            "--tries takes a whole number of tries, or 0 to never give up, not \"" + tries_ + "\"",
            CliError::Usage);
    return static_cast<std::uint32_t>(*number);
}

std::string DownloadCommands::destination(Session& session) const {
    std::string folder = to_.empty() ? session.options().download_folder : to_;
    folder = context_.path(folder.empty() ? "." : folder);
    if (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
        throw CliError("the folder " + folder + " can't be made" +
                       (error ? ": " + error.message() : std::string()) +
                       "; choose another with --to");
    return folder;
}

// What does not parse is refused before anything is opened or made.
void DownloadCommands::check_source() const {
    if (!names_a_place(source_))
        return;
    std::string problem;
    const auto parsed = ServerUrl::read(source_, &problem);
    if (!parsed)
        throw ServerUrl::unreadable(source_, problem);
    if (parsed->file_name.empty())
        throw CliError("\"" + source_ + "\" does not name a file to download", CliError::Usage);
}

SharedPtr<Downloader> DownloadCommands::make_job(Session& session,
                                                 const std::string& folder) const {
    InternetSession* internet = session.internet_session();
    SharedPtr<Downloader> job;
    if (names_a_place(source_)) {
        const auto parsed = ServerUrl::read(source_);
        job = UrlDownload(parsed->server, parsed->file_name).make_job(internet, folder);
    } else {
        const NodeFinder::Target target = NodeFinder(session.document().servers()).find(source_);
        if (!target.node->server)
            throw CliError("\"" + source_ +
                           "\" is a group; name a server, or a file or folder of one");
        job = tovan::make_shared<Downloader>(internet);
        job->set_server(*target.node->server);
        job->add_entry(*target.entry_or_root(), folder, changed_);
        job->set_name(entry_name(target));
    }
    if (job->status().item_count == 0)
        throw CliError("nothing to download in \"" + source_ + "\"" +
                       (changed_ ? " that is new or modified" : "") +
                       (job->log().text().empty() ? "" : ": " + job->log().text()));
    return job;
}

void DownloadCommands::download() {
    const std::uint32_t tries = this->tries();
    if (source_.starts_with('.'))
        source_ = context_.path(source_);
    check_source();
    auto session = context_.open(Session::Access::Change);
    const std::string folder = destination(*session);
    SharedPtr<Downloader> job = make_job(*session, folder);
    DownloadList list(session->document().downloads());
    std::size_t id = 0;
    // A second download of the same thing to the same place resumes that job.
    if (SharedPtr<Downloader> stored = list.same_job(*job, &id)) {
        Output::note("resuming job " + std::to_string(id) +
                     ", which fetches this to the same place");
        job = stored;
    } else {
        list.add(job);
        id = list.jobs().size();
    }
    // Stored before it runs, so that a killed run resumes from its partial files.
    session->save();
    if (!to_.empty()) {
        session->options().download_folder = folder;
        session->save_options();
    }
    JobRunner(*session, context_.output, tries).run(id, job);
}

void DownloadCommands::list_jobs() {
    auto session = context_.open(Session::Access::Read);
    const std::vector<SharedPtr<Downloader>> jobs =
        DownloadList(session->document().downloads()).jobs();
    for (std::size_t at = 0; at < jobs.size(); ++at)
        context_.output.result(JobText::record(at + 1, *jobs[at]),
                               JobText::line(at + 1, *jobs[at]));
    if (jobs.empty() && !context_.output.json())
        context_.output.message("no download jobs: `ferrovane-cli download URL` starts one");
}

void DownloadCommands::steer(Steer action) {
    const std::size_t id = job_number();
    const std::uint32_t tries = this->tries();
    auto session = context_.open(Session::Access::Change);
    DownloadList list(session->document().downloads());
    const std::vector<SharedPtr<Downloader>> jobs = list.jobs();
    if (id > jobs.size())
        throw CliError("there is no job " + std::to_string(id) +
                       "; `ferrovane-cli jobs` lists them");
    const SharedPtr<Downloader>& job = jobs[id - 1];
    const std::string name = job->status().name;
    switch (action) {
        case Steer::Pause:
            job->pause();
            session->save();
            context_.output.message("job " + std::to_string(id) + " (" + name + ") is paused");
            return;
        case Steer::Remove:
            list.remove(job);
            session->save();
            context_.output.message("removed job " + std::to_string(id) + " (" + name + ")");
            return;
        case Steer::Again:
            job->again();
            break;
        case Steer::Resume:
            break;
    }
    JobRunner(*session, context_.output, tries).run(id, job);
}

}  // namespace tovan::cli
