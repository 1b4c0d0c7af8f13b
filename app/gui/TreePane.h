#pragma once

#include <QTreeView>
#include <cstdint>

#include "app/EntryDownload.h"
#include "app/SchedulerObserver.h"
#include "app/ViewsHistory.h"
#include "app/gui/Command.h"
#include "app/gui/TreeEditor.h"

namespace tovan {

class CommandActions;
class Document;
class DesktopServices;
class Options;
class Scheduler;
class TreeModel;

// The left pane: the root group of servers and the downloads node, with each
// server's catalog folders below it as far as they are expanded. Scan results
// reach it on the tick and update its rows in place.
class TreePane : public QTreeView, public CommandTarget, public SchedulerObserver {
    Q_OBJECT

public:
    TreePane(Document& document, Scheduler& scheduler, Options& options, DesktopServices& desktop,
             QWidget* parent = nullptr);
    ~TreePane() override;

    // The window's actions, which the context menus show.
    void set_actions(const CommandActions* actions) { actions_ = actions; }
    const CommandActions* actions() const { return actions_; }
    TreeModel& tree_model() const { return *model_; }

    // Compares every shown row with the document again, keeping expansion and
    // selection where the rows remain.
    void rebuild();
    ViewsHistory::State current_state() const;
    // Selects the state's node, and its folder when it has one, expanding the
    // way to it; false when it is no longer in the document.
    bool select(const ViewsHistory::State& state);
    SharedPtr<TreeEntry> selected_node() const;
    // The selected folder, or the server's root when a server is selected.
    SharedPtr<Entry> selected_folder() const;
    bool folder_selected() const;

    // Selects the next folder holding a change; false when there is none.
    bool go_to_next_change();
    // Server::FullScan, DefaultDepth, NoScan or 1 to 6 for the selected folder.
    void set_scan_depth(std::int32_t depth);
    std::int32_t scan_depth() const;
    void toggle_auto_sync();
    void edit_selected();
    void export_selected();
    void import_into_selected();
    void show_log();

    bool handles(Command command) const override;
    bool can_run(Command command) const override;
    void run(Command command) override;

    void tree_updated(const std::vector<ChangeRecord>& folders) override;
    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void online_changed(const SharedPtr<TreeEntry>& node) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

signals:
    // "Download To..." for a server or folder: the window asks where to.
    void download_to_requested(const tovan::EntryDownload::Place& place);
    // The user, or select(), moved from one state to another.
    void selection_moved(const tovan::ViewsHistory::State& from,
                         const tovan::ViewsHistory::State& to);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ViewsHistory::State state_of(const QModelIndex& index) const;
    QModelIndex node_row(const TreeEntry* node);
    bool select_index(const QModelIndex& index);
    bool show_node(const SharedPtr<TreeEntry>& node);
    void keep_root_open(const QModelIndex& index);
    void add_node(const SharedPtr<TreeEntry>& added);
    void unmark();
    bool group_selected() const;
    bool marked() const;

    Document& document_;
    Scheduler& scheduler_;
    Options& options_;
    DesktopServices& desktop_;
    TreeModel* model_;
    TreeEditor editor_;
    const CommandActions* actions_ = nullptr;
};

}  // namespace tovan
