#include "app/gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <ctime>
#include <filesystem>

#include "app/Application.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/UrlDownload.h"
#include "app/UserFolders.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/CommandActions.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/FilterDialog.h"
#include "app/gui/Icons.h"
#include "app/gui/JobStarter.h"
#include "app/gui/ListPane.h"
#include "app/gui/NodeLookup.h"
#include "app/gui/OptionsDialog.h"
#include "app/gui/SearchDialog.h"
#include "app/gui/TrayIcon.h"
#include "app/gui/TreePane.h"
#include "app/gui/UrlDialog.h"
#include "app/gui/WindowBars.h"
#include "app/widgets/StatusLegend.h"
#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/PasswordMask.h"
#include "tovan/ProfilerScope.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

namespace {

constexpr std::chrono::milliseconds PauseJobsLimit{5000};

// Whether the state's folder is still in its server's catalog: a rescan may
// have dropped it, or the server may have a new catalog.
bool in_catalog(const ViewsHistory::State& state) {
    if (!state.entry)
        return true;
    if (!state.node->server)
        return false;
    const Entry* root = state.node->server->root().get();
    CatalogGuard guard(catalog_lock());
    const Entry* entry = state.entry.get();
    while (entry != nullptr && entry != root) entry = entry->parent();
    return entry != nullptr;
}

std::int64_t system_clock() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

MainWindow::MainWindow(Application& application, Clock clock)
    : application_(application),
      options_(application.options()),
      clock_(clock ? std::move(clock) : Clock(system_clock)),
      saver_(application.document()->data_folder()),
      scheduler_(*application.document(), application.options(), application.internet_session(),
                 clock_()) {
    setObjectName("main");
    setWindowTitle(tr("Ferrovane %1").arg(QApplication::applicationVersion()));
    setWindowIcon(Icons::application());
    actions_ = new CommandActions(this);
    desktop_ = new DesktopServices(this);
    connect(actions_, &CommandActions::triggered, this, &MainWindow::route);
    build_panes();
    build_bars();
    build_status_bar();
    tray_ = new TrayIcon([this] { return application_.document()->servers(); }, this);
    connect_tray();
    observers_.add(this);
    scheduler_.set_observer(&observers_);
    scheduler_.set_saver(&saver_);
    resize(1000, 640);
    connect(&timer_, &QTimer::timeout, this, &MainWindow::tick);
    timer_.start(TickMs);
    update_command_states();
}

MainWindow::~MainWindow() {
    // The widgets going down move the focus; the window is no longer there to
    // hear it.
    disconnect(qApp, nullptr, this, nullptr);
    shut_down();
}

void MainWindow::build_panes() {
    splitter_ = new QSplitter(this);
    tree_ = new TreePane(*application_.document(), scheduler_, options_, *desktop_, splitter_);
    tree_->set_actions(actions_);
    list_ = new ListPane(application_, scheduler_, splitter_);
    list_->set_actions(actions_);
    list_->set_desktop(desktop_);
    splitter_->addWidget(tree_);
    splitter_->addWidget(list_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({TreeWidth, 1000 - TreeWidth});
    setCentralWidget(splitter_);
    connect(tree_, &TreePane::selection_moved, this, &MainWindow::selection_moved);
    connect(list_, &ListPane::open_in_tree, this,
            [this](const ViewsHistory::State& state) { tree_->select(state); });
    connect(list_, &ListPane::marks_cleared, tree_, &TreePane::rebuild);
    connect(tree_, &TreePane::download_to_requested, this,
            [this](const EntryDownload::Place& place) {
                JobStarter::download_to(application_, {place}, options_.show_changed_only, this);
            });
    connect(list_, &ListPane::selection_changed, this, &MainWindow::update_command_states);
    list_->show_state(tree_->current_state());
    // Focus moves change where commands go, and so what is enabled.
    connect(qApp, &QApplication::focusChanged, this, [this] { update_command_states(); });
}

void MainWindow::build_bars() {
    WindowBars::build_toolbar(*this, *actions_, history_menu(true), history_menu(false));
    WindowBars::build_menus(*this, *actions_);
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::update_command_states);
}

QMenu* MainWindow::history_menu(bool back) {
    auto* menu = new QMenu(this);
    menu->setObjectName(back ? "backMenu" : "forwardMenu");
    connect(menu, &QMenu::aboutToShow, this, [this, menu, back] { fill_history_menu(menu, back); });
    return menu;
}

void MainWindow::fill_history_menu(QMenu* menu, bool back) {
    menu->clear();
    forget_removed_states();
    const std::vector<std::string> titles =
        back ? history_.back_titles() : history_.forward_titles();
    for (std::size_t index = 0; index < titles.size(); ++index) {
        const std::size_t steps = index + 1;
        menu->addAction(QString::fromStdString(titles[index]), this,
                        [this, back, steps] { step_history(back, steps); });
    }
}

void MainWindow::build_status_bar() {
    message_ = new QLabel(this);
    message_->setObjectName("message");
    statusBar()->addWidget(message_, 1);
    statusBar()->addPermanentWidget(new StatusLegend({{tr("New"), QColor(0, 150, 0)},
                                                      {tr("Modified"), QColor(220, 0, 0)},
                                                      {tr("Deleted"), QColor(0, 0, 220)}},
                                                     this));
}

void MainWindow::set_message(const QString& text) {
    message_->setText(text);
}

void MainWindow::connect_tray() {
    connect(tray_, &TrayIcon::about_requested, this, &MainWindow::show_about);
    connect(tray_, &TrayIcon::url_requested, this, [this] { route(Command::UrlToDownload); });
    connect(tray_, &TrayIcon::open_requested, this, &MainWindow::bring_to_front);
    connect(tray_, &TrayIcon::rescan_all_requested, this, [this] { run(Command::SynchronizeAll); });
    connect(tray_, &TrayIcon::exit_requested, this, &MainWindow::quit);
    connect(tray_, &TrayIcon::rescan_requested, this, [this](const TreeEntry* address) {
        if (SharedPtr<TreeEntry> node = find_node(application_.document()->servers(), address))
            scheduler_.start_scanning(node, {}, false, false);
    });
}

// Focus first, then the tree, which acts on its selection, then the list,
// then the window.
CommandTarget* MainWindow::target_for(Command command) const {
    if (CommandTarget* pane = focused_pane(); pane != nullptr && pane->handles(command))
        return pane;
    if (tree_->handles(command))
        return tree_;
    // The job commands of the downloads list work from the menu bar too.
    if (list_->handles(command))
        return list_;
    return const_cast<MainWindow*>(this);
}

CommandTarget* MainWindow::focused_pane() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && (focus == list_ || list_->isAncestorOf(focus)))
        return list_;
    if (focus != nullptr && (focus == tree_ || tree_->isAncestorOf(focus)))
        return tree_;
    return nullptr;
}

void MainWindow::route(Command command) {
    CommandTarget* target = target_for(command);
    if (target->can_run(command))
        target->run(command);
    update_command_states();
}

void MainWindow::update_command_states() {
    for (const auto& [command, action] : actions_->all())
        action->setEnabled(target_for(command)->can_run(command));
    (*actions_)[Command::ShowChangedOnly]->setChecked(options_.show_changed_only);
    (*actions_)[Command::ShowOnlineOnly]->setChecked(options_.show_online_only);
    (*actions_)[Command::ShowScanTime]->setChecked(options_.show_scan_time);
    (*actions_)[Command::ShowScanDepth]->setChecked(options_.show_scan_depth);
}

bool MainWindow::handles(Command) const {
    return true;
}

bool MainWindow::can_run(Command command) const {
    switch (command) {
        case Command::Back:
            return history_.can_go_back();
        case Command::PauseAll:
        case Command::ResumeAll:
        case Command::RemoveAllComplete:
            return !DownloadList(application_.document()->downloads()).jobs().empty();
        case Command::Forward:
            return history_.can_go_forward();
        case Command::New:
        case Command::SynchronizeAll:
        case Command::UpdateAllStatuses:
        case Command::ShowOnlineOnly:
        case Command::ShowChangedOnly:
        case Command::ShowScanTime:
        case Command::EditFilter:
        case Command::ShowScanDepth:
        case Command::Options:
        case Command::SaveState:
        case Command::UrlToDownload:
        case Command::Search:
        case Command::NextPane:
        case Command::PreviousPane:
        case Command::About:
        case Command::Quit:
            return true;
        default:
            return false;
    }
}

void MainWindow::run(Command command) {
    switch (command) {
        case Command::Back:
        case Command::Forward:
            step_history(command == Command::Back, 1);
            break;
        case Command::SynchronizeAll:
            scheduler_.start_scanning(application_.document()->servers(), {}, false, false);
            break;
        case Command::PauseAll:
        case Command::ResumeAll:
        case Command::RemoveAllComplete:
            run_on_all_jobs(command);
            break;
        case Command::UpdateAllStatuses:
            scheduler_.start_scanning(application_.document()->servers(), {}, true, false);
            break;
        case Command::ShowOnlineOnly:
            toggle_view_option(&Options::show_online_only);
            break;
        case Command::ShowChangedOnly:
            toggle_view_option(&Options::show_changed_only);
            break;
        case Command::ShowScanTime:
            toggle_view_option(&Options::show_scan_time);
            break;
        case Command::EditFilter:
            edit_filter();
            break;
        case Command::ShowScanDepth:
            toggle_view_option(&Options::show_scan_depth);
            break;
        case Command::Options:
            show_options();
            break;
        case Command::SaveState:
            save_state();
            break;
        case Command::UrlToDownload:
            download_url();
            break;
        case Command::Search:
            show_search();
            break;
        case Command::NextPane:
        case Command::PreviousPane:
            (focused_pane() == tree_ ? static_cast<QWidget*>(list_) : tree_)->setFocus();
            break;
        case Command::About:
            show_about();
            break;
        case Command::Quit:
            quit();
            break;
        default:
            break;
    }
}

void MainWindow::run_on_all_jobs(Command command) {
    DownloadList list(application_.document()->downloads());
    if (command == Command::PauseAll)
        list.pause_all(std::chrono::milliseconds(0));
    else if (command == Command::ResumeAll)
        list.resume_all(application_.internet_session());
    else if (list.remove_finished() != 0)
        JobStarter::store(application_, this);
    list_->refresh();
}

void MainWindow::toggle_view_option(bool Options::*option) {
    options_.*option = !(options_.*option);
    tree_->rebuild();
    list_->refresh();
}

void MainWindow::selection_moved(const ViewsHistory::State& from, const ViewsHistory::State& to) {
    if (!navigating_ && from.node)
        history_.record(from);
    list_->show_state(to);
    const bool server = to.node && to.node->kind == TreeEntry::ServerNode && to.node->server;
    set_message(server ? QString::fromStdString(
                             masked_passwords(to.node->server->url_with_scheme(to.entry.get())))
                       : QString::fromStdString(to.title));
    update_command_states();
}

void MainWindow::step_history(bool back, std::size_t steps) {
    forget_removed_states();
    if (back ? history_.can_go_back() : history_.can_go_forward()) {
        navigating_ = true;
        const ViewsHistory::State current = tree_->current_state();
        tree_->select(back ? history_.back(steps, current) : history_.forward(steps, current));
        navigating_ = false;
    }
    update_command_states();
}

void MainWindow::forget_removed_states() {
    const SharedPtr<TreeEntry> servers = application_.document()->servers();
    const SharedPtr<TreeEntry> downloads = application_.document()->downloads();
    history_.forget_if([&](const ViewsHistory::State& state) {
        if (state.node == downloads)
            return false;
        return !find_node(servers, state.node.get()) || !in_catalog(state);
    });
}

void MainWindow::run_startup_action() {
    if (options_.startup_action == Options::FullSynchronize)
        scheduler_.synchronize_all(now());
    else if (options_.startup_action == Options::UpdateStatusOnly)
        scheduler_.update_status_all(now());
    update_command_states();
}

void MainWindow::tick() {
    ProfilerScope scope("MainWindow::tick");
    scheduler_.tick(now());
    list_->tick();
    forget_removed_states();
    if (unnotified_changes_ != 0)
        notify_new_changes();
    update_command_states();
}

void MainWindow::tree_updated(const std::vector<ChangeRecord>& folders) {
    tree_->tree_updated(folders);
    list_->tree_updated(folders);
}

void MainWindow::node_updated(const SharedPtr<TreeEntry>& node) {
    tree_->node_updated(node);
    list_->node_updated(node);
}

void MainWindow::online_changed(const SharedPtr<TreeEntry>& node) {
    tree_->online_changed(node);
    list_->online_changed(node);
}

void MainWindow::change_found(const ChangeRecord& change) {
    tree_->change_found(change);
    list_->change_found(change);
    if (hidden_to_tray_) {
        ++unnotified_changes_;
        update_tray();
    }
}

void MainWindow::scan_finished(const SharedPtr<TreeEntry>& node) {
    tree_->scan_finished(node);
    list_->scan_finished(node);
    if (node->server && !node->server->last_error().empty())
        set_message(QString::fromStdString(
            masked_passwords(node->label() + ": " + node->server->last_error())));
}

void MainWindow::update_tray() {
    const bool changes = !scheduler_.recent_changes().empty();
    tray_->set_tip(QString::fromStdString(scheduler_.tray_tip(windowTitle().toStdString())),
                   changes);
}

void MainWindow::notify_new_changes() {
    const std::size_t count = unnotified_changes_;
    unnotified_changes_ = 0;
    if (!hidden_to_tray_ || !options_.notify_changes)
        return;
    const QString tip = tray_->tip();
    tray_->notify(tr("%n new change(s)", nullptr, static_cast<int>(count)), tip.section('\n', 1));
}

bool MainWindow::hide_to_tray() {
    if (!TrayIcon::available())
        return false;
    scheduler_.clear_recent_changes();
    unnotified_changes_ = 0;
    hidden_to_tray_ = true;
    tray_->show();
    hide();
    update_tray();
    if (options_.auto_save && save_state()) {
        try {
            application_.save_options();
        } catch (const std::exception& failure) {
            error_log(1) << failure.what() << std::endl;
        }
    }
    return true;
}

void MainWindow::bring_to_front() {
    showNormal();
    raise();
    activateWindow();
}

// The window system may report a show of the window that it has not seen
// hidden yet; only a window that really shows leaves the tray.
void MainWindow::showEvent(QShowEvent* event) {
    if (isVisible()) {
        hidden_to_tray_ = false;
        tray_->hide();
    }
    QMainWindow::showEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && options_.minimize_to_tray &&
        TrayIcon::available())
        // Hiding from inside the state change confuses some window managers.
        QTimer::singleShot(0, this, &MainWindow::hide_to_tray);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitting_ && options_.minimize_to_tray_on_close && hide_to_tray()) {
        event->ignore();
        return;
    }
    shut_down();
    event->accept();
    QApplication::quit();
}

void MainWindow::quit() {
    quitting_ = true;
    close();
}

bool MainWindow::save_state() {
    try {
        application_.document()->store();
        return true;
    } catch (const std::exception& failure) {
        error_log(1) << failure.what() << std::endl;
        QMessageBox::warning(isVisible() ? this : nullptr, tr("Ferrovane"),
                             tr("Ferrovane could not save its data: %1\nFree some space or make "
                                "the folder writable, then save again (Ctrl+S).")
                                 .arg(QString::fromStdString(failure.what())));
        return false;
    }
}

// On the tree's selection: a group, a server or one folder of it.
void MainWindow::show_search() {
    SharedPtr<TreeEntry> node = tree_->selected_node();
    SharedPtr<Entry> folder = tree_->folder_selected() ? tree_->selected_folder() : nullptr;
    SearchDialog dialog(application_, *desktop_, node ? node : application_.document()->servers(),
                        folder, this);
    connect(&dialog, &SearchDialog::select_in_tree, tree_, &TreePane::select);
    connect(&dialog, &SearchDialog::marks_changed, tree_, &TreePane::rebuild);
    dialog.exec();
}

void MainWindow::show_options() {
    OptionsDialog dialog(options_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    tree_->rebuild();
    list_->refresh();
    try {
        application_.save_options();
    } catch (const std::exception& failure) {
        QMessageBox::warning(
            this, tr("Ferrovane"),
            tr("The options could not be saved: %1").arg(QString::fromStdString(failure.what())));
    }
    if (!application_.apply_autostart())
        QMessageBox::warning(this, tr("Ferrovane"),
                             tr("Ferrovane could not change whether it starts at login; the "
                                "log says why."));
    update_command_states();
}

// Saved at once: the filter decides what the next scan marks.
void MainWindow::edit_filter() {
    ScanFilter& filter = application_.document()->filter();
    const std::optional<std::vector<std::string>> masks = FilterDialog::ask(this, filter.masks());
    if (!masks || *masks == filter.masks())
        return;
    filter.set_masks(*masks);
    save_state();
}

void MainWindow::data_changed_elsewhere() {
    forget_removed_states();
    tree_->rebuild();
    list_->refresh();
    update_command_states();
    if (!application_.apply_autostart())
        warning_log(1) << "could not change whether Ferrovane starts at login" << std::endl;
}

void MainWindow::show_about() {
    AboutDialog dialog(*desktop_, isVisible() ? this : nullptr);
    dialog.exec();
}

// The folder a URL's file goes to, until the download asks for one.
std::string MainWindow::url_download_folder() const {
    return !options_.download_folder.empty() ? options_.download_folder : UserFolders::downloads();
}

// As `ferrovane-cli download URL`: a job for the file, or the unfinished one
// that already fetches it there, runs and is stored at once.
void MainWindow::download_url() {
    QWidget* parent = isVisible() ? this : nullptr;
    const std::optional<std::string> url = UrlDialog::ask(parent, options_.download_urls);
    const std::optional<UrlDownload> download = url ? UrlDownload::read(*url) : std::nullopt;
    if (!download)
        return;
    const std::string folder = url_download_folder();
    std::error_code error;
    if (folder.empty() || (!std::filesystem::create_directories(folder, error) && error)) {
        QMessageBox::warning(
            parent, tr("Ferrovane"),
            tr("The download folder \"%1\" can't be made: %2. Choose another "
               "download folder in the options.")
                .arg(QString::fromStdString(folder), QString::fromStdString(error.message())));
        return;
    }
    JobStarter::start(application_, download->make_job(application_.internet_session(), folder),
                      parent);
    set_message(
        tr("Downloading %1 into %2")
            .arg(QString::fromStdString(download->file_name()), QString::fromStdString(folder)));
}

void MainWindow::shut_down() {
    if (shut_down_)
        return;
    shut_down_ = true;
    timer_.stop();
    plain_log(1) << "shutting down the window" << std::endl;
    scheduler_.shut_down();
    jobs_left_running_ =
        !DownloadList(application_.document()->downloads()).pause_all(PauseJobsLimit);
    save_state();
    try {
        application_.save_options();
    } catch (const std::exception& failure) {
        error_log(1) << failure.what() << std::endl;
    }
    tray_->hide();
}

}  // namespace tovan
