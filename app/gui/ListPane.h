#pragma once

#include <QByteArray>
#include <QTableView>
#include <QUrl>
#include <array>
#include <string>
#include <vector>

#include "app/EntryDownload.h"
#include "app/SchedulerObserver.h"
#include "app/ViewsHistory.h"
#include "app/gui/Command.h"
#include "app/gui/JobCommands.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"

namespace tovan {

class Application;
class CommandActions;
class DesktopServices;
class DownloadListModel;
class EntryListModel;
class Options;
class Scheduler;
class ServerListModel;

// The right pane: what the tree's selection holds. A group shows its groups
// and servers, a server or folder its files and folders, the downloads node
// the download jobs. Each kind has its own model, kept for the whole run, so
// that switching only swaps the model and the columns; updates from the tick
// change rows in place, keeping the selection and the scroll position.
class ListPane : public QTableView, public CommandTarget, public SchedulerObserver {
    Q_OBJECT

public:
    enum class Mode { None, Servers, Entries, Downloads, ModeCount };

    ListPane(Application& application, Scheduler& scheduler, QWidget* parent = nullptr);
    ~ListPane() override;

    // The window's actions, which the context menus show, and its desktop.
    void set_actions(const CommandActions* actions) { actions_ = actions; }
    void set_desktop(DesktopServices* desktop);

    // Shows what the state selects; a state without a node leaves the list.
    void show_state(const ViewsHistory::State& state);
    // Takes the options' filters again, after the user switched one.
    void refresh();
    // The one-second tick: the downloads' progress.
    void tick();

    Mode mode() const { return mode_; }
    EntryListModel& entry_model() const { return *entries_; }
    ServerListModel& server_model() const { return *servers_; }
    DownloadListModel& download_model() const { return *downloads_; }
    // The selected rows, top to bottom.
    std::vector<int> selected_rows() const;

    bool handles(Command command) const override;
    bool can_run(Command command) const override;
    void run(Command command) override;

    void tree_updated(const std::vector<ChangeRecord>& folders) override;
    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void online_changed(const SharedPtr<TreeEntry>& node) override;

signals:
    // A folder or node of the list was opened: the tree selects it.
    void open_in_tree(const tovan::ViewsHistory::State& state);
    // Marks were cleared: the tree shows them gone.
    void marks_cleared();
    void selection_changed();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions actions) override;

private:
    // The catalog places the rows stand for: entries, or servers' roots.
    using Place = EntryDownload::Place;
    struct Selection {
        std::vector<Place> places;
        std::vector<SharedPtr<TreeEntry>> nodes;  // the servers mode's rows
    };

    void switch_mode(Mode mode);
    void set_default_columns();
    void open_row(const QModelIndex& index);
    void open(const std::string& location);
    Selection selection() const;
    bool place_chosen() const;
    std::vector<SharedPtr<Downloader>> selected_jobs() const;
    void unmark_selection();
    QList<QUrl> urls() const;
    void copy_urls();
    void download_to();

    Application& application_;
    Options& options_;
    JobCommands jobs_;
    DesktopServices* desktop_ = nullptr;
    const CommandActions* actions_ = nullptr;
    EntryListModel* entries_;
    ServerListModel* servers_;
    DownloadListModel* downloads_;
    Mode mode_ = Mode::None;
    // A scan reported since the last tick: the servers' rows read it then.
    bool servers_stale_ = false;
    // Each mode's column widths and sort, as the user left them.
    std::array<QByteArray, static_cast<std::size_t>(Mode::ModeCount)> header_states_;
};

}  // namespace tovan
