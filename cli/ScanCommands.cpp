#include "cli/ScanCommands.h"

#include <CLI/CLI.hpp>
#include <ctime>
#include <optional>

#include "app/CatalogSaver.h"
#include "app/DownloadList.h"
#include "app/FirstPlace.h"
#include "app/Scheduler.h"
#include "cli/CliError.h"
#include "cli/CommandService.h"
#include "cli/HeldSync.h"
#include "cli/HostKeyQuestion.h"
#include "cli/JsonValue.h"
#include "cli/NodeFinder.h"
#include "cli/ScanReporter.h"
#include "cli/ServerUrl.h"
#include "cli/StatusCheck.h"
#include "cli/StopSignal.h"
#include "cli/TrustCommands.h"
#include "cli/WatchHolder.h"

namespace tovan::cli {
namespace {

constexpr std::chrono::milliseconds ScanTick{100};
constexpr std::chrono::milliseconds WatchTick{1000};
constexpr std::chrono::milliseconds PauseJobsLimit{5000};

std::int64_t now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

void servers_below(const SharedPtr<TreeEntry>& node, std::vector<SharedPtr<TreeEntry>>& out) {
    if (node->server)
        out.push_back(node);
    for (const SharedPtr<TreeEntry>& child : node->children) servers_below(child, out);
}

// "A (its error), B (its error)".
std::string with_errors(const std::vector<SharedPtr<TreeEntry>>& nodes) {
    std::string names;
    for (const SharedPtr<TreeEntry>& node : nodes) {
        const std::string error = NodeFinder::error_text(*node);
        names += (names.empty() ? "" : ", ") + NodeFinder::bare_label(*node) +
                 (error.empty() ? "" : " (" + error + ")");
    }
    return names;
}

}  // namespace

void ScanCommands::add_to(CLI::App& app) {
    CLI::App* sync = app.add_subcommand("sync", "Scan servers now and show what changed");
    sync->add_option("names", names_, "Servers, groups or NAME/PATH folders (default: all)");
    sync->add_option("--trust-certificate", trust_certificate_,
                     "SHA256:... of the TLS certificate the one server named offers, to trust");
    context_.on(sync, [this] { scan_now(); });

    CLI::App* status = app.add_subcommand("status", "Check now which servers are online");
    status->add_option("names", names_, "Servers or groups (default: all)");
    context_.on(status, [this] { check_now(); });

    CLI::App* watch = app.add_subcommand(
        "watch", "Scan on the options' schedule and show changes as they are found, until stopped");
    watch->add_option("--on-change", on_change_,
                      "Run this shell command after each scan that found changes, with them "
                      "on its stdin as JSON lines");
    context_.on(watch, [this] { this->watch(); });
}

bool ScanCommands::run_scans(Scheduler& scheduler, ScanReporter& reporter) {
    while (scheduler.has_running()) {
        StopSignal::wait(ScanTick);
        if (StopSignal::requested())
            return false;
        scheduler.tick(now());
        reporter.show_progress();
    }
    return true;
}

std::vector<NodeFinder::Target> ScanCommands::targets(Document& document) const {
    const NodeFinder finder(document.servers());
    std::vector<NodeFinder::Target> targets;
    for (const std::string& name : names_) {
        targets.push_back(finder.find(name));
        if (targets.back().entry && !targets.back().entry->is_folder())
            throw CliError("\"" + name + "\" is a file; name its folder", CliError::Usage);
    }
    if (names_.empty())
        targets.push_back({document.servers(), nullptr, {}, {}});
    return targets;
}

void ScanCommands::scan_now() {
    std::string trusted;
    if (!trust_certificate_.empty()) {
        if (names_.size() != 1)
            throw CliError("--trust-certificate takes one server to sync", CliError::Usage);
        const std::string given =
            TrustCommands::checked_fingerprint(trust_certificate_, "--trust-certificate: ");
        trusted = context_.input("certificate", [&] {
            return TrustCommands::accepted_fingerprint(context_, names_.front(), given);
        });
    }
    auto session = context_.open(Session::Access::Change);
    Document& document = session->document();
    const std::vector<NodeFinder::Target> chosen = targets(document);
    if (!trusted.empty() && chosen.front().node->server) {
        Server& server = *chosen.front().node->server;
        TlsTrust trust = document.certificates().of(server);
        trust.fingerprint = trusted;
        document.certificates().set(server, trust);
    }
    if (document.servers()->server_count() == 0) {
        context_.output.message("no servers yet: `ferrovane-cli add PATH|URL` adds one");
        return;
    }
    if (session->holder())
        return scan_in_holder(std::move(session), chosen);
    ask_host_keys(chosen);
    const StopSignal stop;
    Scheduler scheduler(document, session->options(), session->internet_session(), now());
    ScanReporter reporter(context_.output, scheduler);
    reporter.set_notes(false);
    scheduler.set_observer(&reporter);
    for (const NodeFinder::Target& target : chosen)
        scheduler.start_scanning(target.node, target.entry, false, false);
    const bool ended = run_scans(scheduler, reporter);
    scheduler.shut_down();
    reporter.clear_progress();
    session->save();
    if (!ended)
        throw CliError("stopped before the scans ended; what they found so far is saved");
    report_scan(reporter);
}

// Scan threads can't ask: a host key to accept is asked for on a terminal first.
void ScanCommands::ask_host_keys(const std::vector<NodeFinder::Target>& chosen) const {
    std::vector<SharedPtr<TreeEntry>> servers;
    for (const NodeFinder::Target& target : chosen) servers_below(target.node, servers);
    for (const SharedPtr<TreeEntry>& node : servers) HostKeyQuestion::ask_for_sync(*node->server);
}

// The process that holds the data folder scans on its own scheduler, and the
// command goes on at each of its turns until those scans end.
void ScanCommands::scan_in_holder(std::unique_ptr<Session> session,
                                  const std::vector<NodeFinder::Target>& chosen) {
    std::vector<SharedPtr<TreeEntry>> servers;
    for (const NodeFinder::Target& target : chosen) servers_below(target.node, servers);
    auto sync = std::make_shared<HeldSync>(*session->holder(), context_.output);
    sync->start(chosen, std::move(servers));
    std::shared_ptr<Session> held = std::move(session);
    context_.go_on_later([this, sync, held] {
        if (!sync->ended())
            return false;
        held->save();
        report_scan(sync->reporter());
        return true;
    });
}

// A check writes nothing, so it runs on the saved files too while another
// process holds the data folder.
void ScanCommands::check_now() {
    auto session = context_.open(Session::Access::Read);
    Document& document = session->document();
    std::vector<SharedPtr<TreeEntry>> servers;
    for (const NodeFinder::Target& target : targets(document)) {
        if (target.entry)
            throw CliError("status takes servers or groups, not a path inside one",
                           CliError::Usage);
        servers_below(target.node, servers);
    }
    InternetSession* internet =
        session->application() ? session->application()->internet_session() : nullptr;
    if (!StatusCheck::run(document, session->options(), internet, servers))
        throw CliError("stopped before every server was checked");
    report_states(servers);
}

void ScanCommands::report_scan(const ScanReporter& reporter) const {
    // A server it could not reach may well hold changes: "no changes" would mislead.
    if (reporter.change_count() == 0 && reporter.unreached().empty() && !context_.output.json())
        context_.output.message("no changes");
    // Like find, a scan that could not read everything fails, after saving what it found.
    const std::string in_part = with_errors(reporter.scanned_in_part());
    if (reporter.unreached().empty()) {
        if (!in_part.empty())
            throw CliError("scanned only in part: " + in_part);
        return;
    }
    throw CliError("can't reach " + with_errors(reporter.unreached()) +
                   (in_part.empty() ? "" : "; scanned only in part: " + in_part) +
                   "; `ferrovane-cli status` checks again");
}

void ScanCommands::report_states(const std::vector<SharedPtr<TreeEntry>>& nodes) const {
    for (const SharedPtr<TreeEntry>& node : nodes) {
        const std::string name = NodeFinder::bare_label(*node);
        const std::string state = node->online ? "online" : "offline";
        const std::string error = node->online ? "" : NodeFinder::error_text(*node);
        const nlohmann::json record = {{"server", name},
                                       {"state", state},
                                       {"url", ServerUrl::shown(*node->server)},
                                       {"error", text_or_null(error)}};
        context_.output.result(record,
                               state + "  " + name + (error.empty() ? "" : "  (" + error + ")"));
    }
}

// A first run with nothing to watch shows a real catalog at once: the user's
// download folder, a few levels deep.
void ScanCommands::watch_first_folder(Session& session) const {
    const SharedPtr<TreeEntry> node = FirstPlace::add_if_none(session.document());
    if (!node)
        return;
    session.save();
    Output::note("no servers yet: watching " + ServerUrl::shown(*node->server) + " as \"" +
                 node->name + "\" at scan depth " + std::to_string(FirstPlace::Depth) +
                 "; `ferrovane-cli add PATH|URL` adds more");
}

void ScanCommands::watch() {
    // Its lines are read as a log; in JSON each change has its "time" instead.
    std::optional<Output::Stamped> stamped;
    if (!context_.output.json())
        stamped.emplace();
    auto session = context_.open(Session::Access::Change);
    watch_first_folder(*session);
    Document& document = session->document();
    const Options& options = session->options();
    const StopSignal stop;
    // Catalogs are saved beside the loop, so Ctrl+C and the progress never wait for the disk.
    CatalogSaver saver(document.data_folder());
    Scheduler scheduler(document, options, session->internet_session(), now());
    scheduler.set_saver(&saver);
    ScanReporter reporter(context_.output, scheduler);
    reporter.set_on_change(on_change_);
    WatchHolder holder(*session, scheduler, saver);
    holder.scan_observers().add(&reporter);
    scheduler.set_observer(&holder.scan_observers());
    CommandService service(holder);
    if (!service.start())
        Output::note("changing commands can't reach this watch: " + service.error());
    // Stored jobs go on where they stopped, as when the desktop program starts.
    const DownloadList jobs(document.downloads());
    jobs.resume_all(session->internet_session());
    if (options.startup_action == Options::FullSynchronize)
        scheduler.synchronize_all(now());
    else if (options.startup_action == Options::UpdateStatusOnly)
        scheduler.update_status_all(now());
    const std::uint32_t count = document.servers()->server_count();
    Output::note("watching " + std::to_string(count) + (count == 1 ? " server" : " servers") +
                 ": status every " + std::to_string(options.update_status_minutes) +
                 " min, sync every " + std::to_string(options.synchronize_minutes) +
                 " min; Ctrl+C stops");
    // Until stopped, or until whoever reads the changes is gone.
    while (!StopSignal::requested() && Output::is_open()) {
        // A command sent meanwhile cuts the wait short.
        const auto pause = scheduler.has_running() ? ScanTick : WatchTick;
        for (auto waited = ScanTick; waited <= pause && !service.has_requests(); waited += ScanTick)
            StopSignal::wait(ScanTick);
        scheduler.tick(now());
        service.serve();
        reporter.show_progress();
    }
    reporter.clear_progress();
    Output::note("stopping: scans end, jobs pause, then everything is saved");
    service.shut_down();
    scheduler.shut_down();
    jobs.pause_all(PauseJobsLimit);
    session->save();
    session->save_options();
    Output::note("stopped; everything is saved in " + session->data_folder());
}

}  // namespace tovan::cli
