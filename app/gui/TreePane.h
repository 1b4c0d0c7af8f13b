#pragma once

#include <QTreeWidget>

#include "app/SchedulerObserver.h"
#include "app/ViewsHistory.h"
#include "app/gui/Command.h"

namespace tovan {

class Document;
class DesktopServices;
class Options;
class Scheduler;

// The left pane: the groups and servers of the document and the downloads
// node. It holds one item per node, each knowing its node by address only and
// finding it again in the document when it is used.
class TreePane : public QTreeWidget, public CommandTarget, public SchedulerObserver {
    Q_OBJECT

public:
    TreePane(Document& document, Scheduler& scheduler, const Options& options,
             DesktopServices& desktop, QWidget* parent = nullptr);

    // Fills the pane anew from the document, keeping the selection where it can.
    void rebuild();
    ViewsHistory::State current_state() const;
    // Selects the state's node; false when it is no longer in the document.
    bool select(const ViewsHistory::State& state);
    SharedPtr<TreeEntry> selected_node() const;

    bool handles(Command command) const override;
    bool can_run(Command command) const override;
    void run(Command command) override;

    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void online_changed(const SharedPtr<TreeEntry>& node) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

signals:
    // The user, or select(), moved from one state to another.
    void selection_moved(const tovan::ViewsHistory::State& from,
                         const tovan::ViewsHistory::State& to);

private:
    void add_items(QTreeWidgetItem* parent, const SharedPtr<TreeEntry>& node);
    QTreeWidgetItem* item_of(const TreeEntry* node) const;
    SharedPtr<TreeEntry> node_of(const QTreeWidgetItem* item) const;
    ViewsHistory::State state_of(const QTreeWidgetItem* item) const;
    QString label_of(const TreeEntry& node) const;
    void update_label(const SharedPtr<TreeEntry>& node);

    Document& document_;
    Scheduler& scheduler_;
    const Options& options_;
    DesktopServices& desktop_;
};

}  // namespace tovan
