#pragma once

#include <vector>

#include "app/ChangeRecord.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// What the scheduler's tick tells the front end. Every call comes from the
// thread that ticks; the defaults ignore it.
class SchedulerObserver {
public:
    virtual ~SchedulerObserver() = default;

    // Folders of one server whose contents changed since the last tick.
    virtual void tree_updated(const std::vector<ChangeRecord>& /*folders*/) {}
    // A scan started or finished, or its remaining count changed.
    virtual void node_updated(const SharedPtr<TreeEntry>& /*node*/) {}
    // The node's online flag flipped.
    virtual void online_changed(const SharedPtr<TreeEntry>& /*node*/) {}
    // An entry a scan marked new, modified or deleted.
    virtual void change_found(const ChangeRecord& /*change*/) {}
    // The node's scanner is gone; its catalog is saved by now when it is saved.
    virtual void scan_finished(const SharedPtr<TreeEntry>& /*node*/) {}
};

}  // namespace tovan
