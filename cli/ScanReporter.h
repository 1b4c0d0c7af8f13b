#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SchedulerObserver.h"
#include "cli/ChangeHook.h"
#include "cli/Output.h"
#include "cli/Progress.h"

namespace tovan {
class Scheduler;
}

namespace tovan::cli {

// What the scheduler's ticks show on the command line: every change as it is
// found on stdout, a progress line on stderr, and a note when a server's scan
// (not a mere status check) ends.
class ScanReporter : public SchedulerObserver {
public:
    ScanReporter(const Output& output, const Scheduler& scheduler)
        : output_(output), scheduler_(scheduler) {}

    void change_found(const ChangeRecord& change) override;
    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

    // Notes for finished scans (off for a one-time sync, which sums up itself).
    void set_notes(bool notes) { notes_ = notes; }
    // A command to run with the changes after each scan that found some; none
    // when empty.
    void set_on_change(const std::string& command);
    std::size_t change_count() const { return change_count_; }
    // Servers whose last scan here could not reach them.
    const std::vector<SharedPtr<TreeEntry>>& unreached() const { return unreached_; }
    // Servers whose last scan here went through but met an error on the way,
    // such as a folder it could not enter.
    const std::vector<SharedPtr<TreeEntry>>& scanned_in_part() const { return scanned_in_part_; }
    void show_progress();
    void clear_progress() { progress_.clear(); }

private:
    bool was_scan(const TreeEntry& node) const;

    const Output& output_;
    const Scheduler& scheduler_;
    Progress progress_;
    bool notes_ = true;
    std::size_t change_count_ = 0;
    std::vector<SharedPtr<TreeEntry>> unreached_;
    std::vector<SharedPtr<TreeEntry>> scanned_in_part_;
    std::unique_ptr<ChangeHook> on_change_;
};

}  // namespace tovan::cli
