#pragma once

#include <vector>

#include "app/SchedulerObserver.h"

namespace tovan {

// Tells every observer added what the scheduler's tick tells it, in the order they
// were added: the front end's own, and for a while those of commands that wait
// for scans of the same scheduler. Used on the ticking thread only.
class SchedulerObservers : public SchedulerObserver {
public:
    void add(SchedulerObserver* observer) { observers_.push_back(observer); }
    void remove(SchedulerObserver* observer) { std::erase(observers_, observer); }

    void tree_updated(const std::vector<ChangeRecord>& folders) override;
    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void online_changed(const SharedPtr<TreeEntry>& node) override;
    void change_found(const ChangeRecord& change) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

private:
    // An observer may add or remove observers while it is told.
    template <class Call>
    void tell(Call call) {
        for (SchedulerObserver* observer : std::vector(observers_)) call(*observer);
    }

    std::vector<SchedulerObserver*> observers_;
};

}  // namespace tovan
