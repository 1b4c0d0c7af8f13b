#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "app/CatalogSaver.h"
#include "app/Scheduler.h"
#include "app/SchedulerObserver.h"
#include "app/SchedulerObservers.h"
#include "app/ViewsHistory.h"
#include "app/gui/Command.h"

class QLabel;
class QMenu;
class QSplitter;

namespace tovan {

class Application;
class CommandActions;
class DesktopServices;
class ListPane;
class TrayIcon;
class TreePane;

// The program's one window and its clock: the tree and the list side by side,
// the commands in menus and the toolbar, the colour key in the status bar, the
// tray icon while hidden, and the one-second tick that runs the scheduler and
// brings the scanners' results into the panes. Everything here runs on the
// interface thread; scanners are only polled by the tick.
class MainWindow : public QMainWindow, public CommandTarget, public SchedulerObserver {
    Q_OBJECT

public:
    using Clock = std::function<std::int64_t()>;

    static constexpr int TickMs = 1000;
    static constexpr int TreeWidth = 300;

    // clock: seconds since 1970 for the schedule (none: the system clock).
    explicit MainWindow(Application& application, Clock clock = {});
    ~MainWindow() override;

    // What the options ask for when the window first shows: nothing, a status
    // check or a synchronization of every server.
    void run_startup_action();
    // The timer's work; public so that tests can tick on their own clock.
    void tick();
    // Shows the window normally and in front, wherever it was.
    void bring_to_front();
    // Hides the window to the tray, where the desktop has one; false otherwise.
    bool hide_to_tray();
    bool is_hidden_to_tray() const { return hidden_to_tray_; }
    // Stops the scanners, pauses the jobs and saves the document and the
    // options; the window then only closes. Runs once.
    void shut_down();
    // After shut_down(): whether a scan or a download would not stop in time and
    // still reads the document, which must then outlive the program's end.
    bool left_work_running() const {
        return jobs_left_running_ || Scheduler::abandoned_count() != 0;
    }

    // Ends the program as its Quit command does, whatever the tray options say.
    void quit();
    void route(Command command);
    void update_command_states();
    void set_message(const QString& text);

    Scheduler& scheduler() { return scheduler_; }
    // What the scheduler tells: this window, and for a while a client's sync.
    SchedulerObservers& scan_observers() { return observers_; }
    CatalogSaver& saver() { return saver_; }
    // Another process's command changed the servers, groups, filter, jobs or
    // options: the panes and commands show them again.
    void data_changed_elsewhere();
    ViewsHistory& history() { return history_; }
    TreePane* tree() const { return tree_; }
    ListPane* list() const { return list_; }
    TrayIcon* tray() const { return tray_; }
    CommandActions& actions() const { return *actions_; }
    QTimer& timer() { return timer_; }

    bool handles(Command command) const override;
    bool can_run(Command command) const override;
    void run(Command command) override;

    void tree_updated(const std::vector<ChangeRecord>& folders) override;
    void node_updated(const SharedPtr<TreeEntry>& node) override;
    void online_changed(const SharedPtr<TreeEntry>& node) override;
    void change_found(const ChangeRecord& change) override;
    void scan_finished(const SharedPtr<TreeEntry>& node) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_panes();
    void build_bars();
    void build_status_bar();
    void connect_tray();
    QMenu* history_menu(bool back);
    void fill_history_menu(QMenu* menu, bool back);
    CommandTarget* target_for(Command command) const;
    CommandTarget* focused_pane() const;
    // Goes the steps back or forward through the views' history.
    void step_history(bool back, std::size_t steps);
    void forget_removed_states();
    void selection_moved(const ViewsHistory::State& from, const ViewsHistory::State& to);
    void run_on_all_jobs(Command command);
    void toggle_view_option(bool Options::*option);
    void show_options();
    void show_search();
    void edit_filter();
    void show_about();
    void download_url();
    std::string url_download_folder() const;
    bool save_state();
    void update_tray();
    void notify_new_changes();
    std::int64_t now() const { return clock_(); }

    Application& application_;
    Options& options_;
    Clock clock_;
    // Before the scheduler, which hands it the catalogs of finished scans.
    CatalogSaver saver_;
    SchedulerObservers observers_;
    Scheduler scheduler_;
    ViewsHistory history_;
    CommandActions* actions_ = nullptr;
    DesktopServices* desktop_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TreePane* tree_ = nullptr;
    ListPane* list_ = nullptr;
    TrayIcon* tray_ = nullptr;
    QLabel* message_ = nullptr;
    QTimer timer_;
    std::size_t unnotified_changes_ = 0;
    bool navigating_ = false;
    bool hidden_to_tray_ = false;
    bool quitting_ = false;
    bool shut_down_ = false;
    bool jobs_left_running_ = false;
};

}  // namespace tovan
