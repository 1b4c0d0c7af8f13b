#pragma once

#include <iosfwd>
#include <vector>

#include "app/SchedulerObserver.h"
#include "cli/NodeFinder.h"
#include "cli/ScanReporter.h"

namespace tovan {
class DataHolder;
}

namespace tovan::cli {

// A sync that the process holding the data folder carries out for a client: the
// scans run on the holder's scheduler, and while they do this observer hears its
// ticks beside the holder's own and prints what a sync prints to the client's
// output, whoever's thread ticks.
class HeldSync : public SchedulerObserver {
public:
    // Made while the client's output is this thread's.
    HeldSync(DataHolder& holder, const Output& output);
    ~HeldSync() override;
    HeldSync(const HeldSync&) = delete;
    HeldSync& operator=(const HeldSync&) = delete;

    // servers: those the targets lie in, whose scans the sync waits for.
    void start(const std::vector<NodeFinder::Target>& targets,
               std::vector<SharedPtr<TreeEntry>> servers);
    // True once no scan of those servers is under way.
    bool ended() const;
    const ScanReporter& reporter() const { return reporter_; }

    void change_found(const ChangeRecord& change) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

private:
    DataHolder& holder_;
    std::ostream& out_;
    std::ostream& err_;
    ScanReporter reporter_;
    std::vector<SharedPtr<TreeEntry>> servers_;
};

}  // namespace tovan::cli
