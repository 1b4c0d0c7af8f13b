#include "app/SchedulerObservers.h"

namespace tovan {

void SchedulerObservers::tree_updated(const std::vector<ChangeRecord>& folders) {
    tell([&](SchedulerObserver& observer) { observer.tree_updated(folders); });
}

void SchedulerObservers::node_updated(const SharedPtr<TreeEntry>& node) {
    tell([&](SchedulerObserver& observer) { observer.node_updated(node); });
}

void SchedulerObservers::online_changed(const SharedPtr<TreeEntry>& node) {
    tell([&](SchedulerObserver& observer) { observer.online_changed(node); });
}

void SchedulerObservers::change_found(const ChangeRecord& change) {
    tell([&](SchedulerObserver& observer) { observer.change_found(change); });
}

void SchedulerObservers::scan_finished(const SharedPtr<TreeEntry>& node) {
    tell([&](SchedulerObserver& observer) { observer.scan_finished(node); });
}

}  // namespace tovan
