#include "cli/HeldSync.h"

#include <algorithm>

#include "app/DataHolder.h"
#include "app/Scheduler.h"
#include "app/SchedulerObservers.h"

namespace tovan::cli {

HeldSync::HeldSync(DataHolder& holder, const Output& output)
    : holder_(holder),
      out_(Output::out()),
      err_(Output::err()),
      reporter_(output, holder.scheduler()) {
    reporter_.set_notes(false);
    holder_.scan_observers().add(this);
}

HeldSync::~HeldSync() {
    holder_.scan_observers().remove(this);
}

void HeldSync::start(const std::vector<NodeFinder::Target>& targets,
                     std::vector<SharedPtr<TreeEntry>> servers) {
    servers_ = std::move(servers);
    for (const NodeFinder::Target& target : targets)
        holder_.scheduler().start_scanning(target.node, target.entry, false, false);
}

bool HeldSync::ended() const {
    return std::ranges::none_of(holder_.scheduler().scannings(), [this](const Scanning& each) {
        return std::ranges::find(servers_, each.node) != servers_.end();
    });
}

// Only the scans of this sync's servers are the client's business.
void HeldSync::change_found(const ChangeRecord& change) {
    if (std::ranges::find(servers_, change.node) == servers_.end())
        return;
    const Output::Redirect redirect(out_, err_);
    reporter_.change_found(change);
}

void HeldSync::scan_finished(const SharedPtr<TreeEntry>& node) {
    if (std::ranges::find(servers_, node) == servers_.end())
        return;
    const Output::Redirect redirect(out_, err_);
    reporter_.scan_finished(node);
}

}  // namespace tovan::cli
