#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/NodeFinder.h"

namespace CLI {
class App;
}

namespace tovan {
class Scheduler;
}

namespace tovan::cli {

class ScanReporter;

// sync, status and watch: scans and status checks, all driven by the scheduler
// as the desktop program's timer drives it.
class ScanCommands {
public:
    explicit ScanCommands(CommandContext& context) : context_(context) {}

    void add_to(CLI::App& app);

private:
    // What the names given stand for; everything when none is given.
    std::vector<NodeFinder::Target> targets(Document& document) const;
    void scan_now();
    void ask_host_keys(const std::vector<NodeFinder::Target>& chosen) const;
    void scan_in_holder(std::unique_ptr<Session> session,
                        const std::vector<NodeFinder::Target>& chosen);
    void check_now();
    // The summary of a scan: raises CliError when a server could not be reached.
    void report_scan(const ScanReporter& reporter) const;
    void watch();
    // Ticks until every scan has ended or a stop is asked for; false then.
    static bool run_scans(Scheduler& scheduler, ScanReporter& reporter);
    void report_states(const std::vector<SharedPtr<TreeEntry>>& nodes) const;
    void watch_first_folder(Session& session) const;

    CommandContext& context_;
    std::vector<std::string> names_;
    std::string trust_certificate_;  // sync --trust-certificate
    std::string on_change_;          // watch --on-change
};

}  // namespace tovan::cli
