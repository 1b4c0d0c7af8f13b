#pragma once

#include <QListWidget>

#include "app/SchedulerObserver.h"
#include "app/ViewsHistory.h"
#include "app/gui/Command.h"

namespace tovan {

// The right pane: what the tree's selection holds, one line each.
class ListPane : public QListWidget, public CommandTarget, public SchedulerObserver {
    Q_OBJECT

public:
    explicit ListPane(QWidget* parent = nullptr);

    void show_state(const ViewsHistory::State& state);

    // Every command goes on to the tree, which acts on its selection.
    bool handles(Command) const override { return false; }
    bool can_run(Command) const override { return false; }
    void run(Command) override {}

    void node_updated(const SharedPtr<TreeEntry>& node) override;

private:
    ViewsHistory::State shown_;
};

}  // namespace tovan
