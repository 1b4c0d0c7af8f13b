#include "app/gui/ListPane.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "app/Application.h"
#include "app/Document.h"
#include "app/NodeMarks.h"
#include "app/Options.h"
#include "app/TextFormats.h"
#include "app/gui/CommandActions.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/DownloadListModel.h"
#include "app/gui/EntryListModel.h"
#include "app/gui/JobCommands.h"
#include "app/gui/JobStarter.h"
#include "app/gui/ServerListModel.h"
#include "app/gui/TreeDrag.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {

namespace {

constexpr int RowHeight = 22;
// Room for a cell's padding and a header's sort arrow beside a text.
constexpr int TextMargin = 28;
// A date whose text is as long as dates get: two-digit day and hour.
constexpr std::int64_t SampleTime = 1'700'000'000;

std::size_t slot(ListPane::Mode mode) {
    return static_cast<std::size_t>(mode);
}

// Null for a server's root, which the server's own URL names.
const Entry* entry_or_root(const EntryDownload::Place& place) {
    return place.entry == place.server->root() ? nullptr : place.entry.get();
}

std::string url_of(const EntryDownload::Place& place) {
    return place.server->url_with_scheme(entry_or_root(place));
}

}  // namespace

ListPane::ListPane(Application& application, Scheduler& scheduler, QWidget* parent)
    : QTableView(parent),
      application_(application),
      options_(application.options()),
      jobs_(application, scheduler, this),
      entries_(new EntryListModel(options_, this)),
      servers_(new ServerListModel(options_, this)),
      downloads_(new DownloadListModel(this)) {
    setObjectName("list");
    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // Fixed row heights keep a list of a million rows as cheap as a short one.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QAbstractItemView::doubleClicked, this, &ListPane::open_row);
}

ListPane::~ListPane() = default;

void ListPane::set_desktop(DesktopServices* desktop) {
    desktop_ = desktop;
    jobs_.set_desktop(desktop);
}

void ListPane::show_state(const ViewsHistory::State& state) {
    const SharedPtr<TreeEntry>& node = state.node;
    if (!node)
        return;
    if (node->kind == TreeEntry::Downloads) {
        switch_mode(Mode::Downloads);
        downloads_->show_jobs(node);
    } else if (node->kind == TreeEntry::Group) {
        switch_mode(Mode::Servers);
        servers_->show_group(node);
    } else {
        switch_mode(Mode::Entries);
        const SharedPtr<Entry> folder =
            state.entry ? state.entry : (node->server ? node->server->root() : SharedPtr<Entry>());
        entries_->show_folder(node, folder);
    }
    scrollToTop();
    emit selection_changed();
}

// Models and columns change only with the mode; each mode keeps the widths
// and the sort the user gave it.
void ListPane::switch_mode(Mode mode) {
    if (mode == mode_)
        return;
    if (mode_ != Mode::None)
        header_states_[slot(mode_)] = horizontalHeader()->saveState();
    mode_ = mode;
    QAbstractItemModel* model = nullptr;
    if (mode == Mode::Entries)
        model = entries_;
    else if (mode == Mode::Servers)
        model = servers_;
    else
        model = downloads_;
    // Sorting stays off while the model changes: switching it on sorts at once.
    setSortingEnabled(false);
    // The view makes a selection model for each model and leaves the old one.
    QItemSelectionModel* old_selection = selectionModel();
    setModel(model);
    delete old_selection;
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListPane::selection_changed);
    const QByteArray& saved = header_states_[slot(mode)];
    if (saved.isEmpty() || !horizontalHeader()->restoreState(saved))
        set_default_columns();
    horizontalHeader()->setSectionsClickable(mode == Mode::Entries);
    if (mode == Mode::Entries) {
        horizontalHeader()->setSortIndicator(entries_->sort_column(), entries_->sort_order());
        setSortingEnabled(true);
    }
}

// The widths a mode starts with, wide enough for the titles and, in a
// folder's list, for the longest forms of sizes and dates in this font.
void ListPane::set_default_columns() {
    const QFontMetrics metrics(font());
    for (int column = 0; column < model()->columnCount(); ++column) {
        int width = 100;
        QString sample = model()->headerData(column, Qt::Horizontal).toString();
        if (mode_ == Mode::Entries) {
            width = EntryListModel::default_width(column);
            if (column == EntryListModel::Size)
                sample = "*999.9 KB(+999.9 KB)";
            else if (column == EntryListModel::Date)
                sample = QString::fromStdString(time_text(SampleTime, true));
        } else if (mode_ == Mode::Servers) {
            width = ServerListModel::default_width(column);
        } else {
            width = DownloadListModel::default_width(column);
        }
        setColumnWidth(column, std::max(width, metrics.horizontalAdvance(sample) + TextMargin));
    }
    horizontalHeader()->setSortIndicatorShown(mode_ == Mode::Entries);
    if (mode_ == Mode::Entries)
        horizontalHeader()->setSortIndicator(EntryListModel::Name, Qt::AscendingOrder);
}

void ListPane::refresh() {
    if (mode_ == Mode::Entries)
        entries_->refresh();
    else if (mode_ == Mode::Servers)
        servers_->refresh();
    else if (mode_ == Mode::Downloads)
        downloads_->refresh();
}

void ListPane::tick() {
    if (mode_ == Mode::Downloads)
        downloads_->refresh();
    // Many scans may report in one tick; the servers' totals are read once.
    if (mode_ == Mode::Servers && servers_stale_)
        servers_->refresh();
    servers_stale_ = false;
}

void ListPane::tree_updated(const std::vector<ChangeRecord>& folders) {
    if (mode_ == Mode::Entries) {
        const bool shown = std::any_of(folders.begin(), folders.end(), [&](const auto& record) {
            return record.entry == entries_->folder();
        });
        if (shown)
            entries_->refresh();
        else if (std::any_of(folders.begin(), folders.end(),
                             [&](const auto& record) { return record.node == entries_->node(); }))
            // A folder deeper down changed: the sizes of the folders shown may have.
            entries_->refresh_texts();
    } else {
        servers_stale_ = true;
    }
}

void ListPane::node_updated(const SharedPtr<TreeEntry>&) {
    servers_stale_ = true;
}

void ListPane::online_changed(const SharedPtr<TreeEntry>& node) {
    node_updated(node);
}

std::vector<int> ListPane::selected_rows() const {
    std::vector<int> rows;
    if (selectionModel() == nullptr)
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A folder opens in the tree, a file with its application, a job's file too.
void ListPane::open_row(const QModelIndex& index) {
    if (!index.isValid())
        return;
    if (mode_ == Mode::Downloads) {
        if (const SharedPtr<Downloader> job = downloads_->job_at(index.row()))
            open(job->destination_path());
        return;
    }
    if (mode_ == Mode::Servers) {
        if (const SharedPtr<TreeEntry> node = servers_->node_at(index.row()))
            emit open_in_tree({node, {}, index.siblingAtColumn(0).data().toString().toStdString()});
        return;
    }
    const SharedPtr<Entry> entry = entries_->entry_at(index.row());
    if (!entry)
        return;
    if (entry->is_folder())
        emit open_in_tree(
            {entries_->node(), entry, index.siblingAtColumn(0).data().toString().toStdString()});
    else
        open(entries_->node()->server->url_with_scheme(entry.get()));
}

void ListPane::open(const std::string& location) {
    if (desktop_ != nullptr)
        desktop_->open(location);
}

ListPane::Selection ListPane::selection() const {
    Selection selected;
    for (int row : selected_rows()) {
        if (mode_ == Mode::Entries && entries_->node() && entries_->node()->server) {
            if (SharedPtr<Entry> entry = entries_->entry_at(row))
                selected.places.push_back({entries_->node()->server, std::move(entry)});
        } else if (mode_ == Mode::Servers) {
            const SharedPtr<TreeEntry> node = servers_->node_at(row);
            if (node && node->server && node->server->root())
                selected.places.push_back({node->server, node->server->root()});
            if (node)
                selected.nodes.push_back(node);
        }
    }
    return selected;
}

std::vector<SharedPtr<Downloader>> ListPane::selected_jobs() const {
    std::vector<SharedPtr<Downloader>> jobs;
    if (mode_ != Mode::Downloads)
        return jobs;
    for (int row : selected_rows())
        if (SharedPtr<Downloader> job = downloads_->job_at(row))
            jobs.push_back(std::move(job));
    return jobs;
}

bool ListPane::handles(Command command) const {
    switch (command) {
        case Command::Unmark:
        case Command::Open:
        case Command::Copy:
        case Command::CopyUrl:
        case Command::DownloadTo:
            // Without rows chosen here, the tree's selection is meant.
            return selectionModel() != nullptr && selectionModel()->hasSelection();
        case Command::AddToIgnoreList:
        case Command::Remove:
        case Command::Resume:
        case Command::Pause:
        case Command::DownloadAgain:
        case Command::EditDownload:
        case Command::OpenLocalFolder:
        case Command::ViewTransferLog:
            return true;
        default:
            return false;
    }
}

bool ListPane::can_run(Command command) const {
    if (mode_ == Mode::Downloads)
        return jobs_.can_run(command, selected_jobs());
    // Asked for every command on every tick: a million chosen rows are not
    // walked for it, only the ranges until a place turns up.
    switch (command) {
        case Command::Unmark:
            return handles(command);
        case Command::Open:
        case Command::Copy:
        case Command::CopyUrl:
        case Command::DownloadTo:
            return place_chosen();
        default:
            return false;
    }
}

bool ListPane::place_chosen() const {
    if (!handles(Command::Open))
        return false;
    if (mode_ == Mode::Entries)
        return entries_->node() && entries_->node()->server;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (const SharedPtr<TreeEntry> node = servers_->node_at(row); node && node->server)
                return true;
    return false;
}

void ListPane::run(Command command) {
    if (!can_run(command))
        return;
    if (mode_ == Mode::Downloads) {
        jobs_.run(command, selected_jobs());
        downloads_->refresh();
        return;
    }
    switch (command) {
        case Command::Unmark:
            unmark_selection();
            break;
        case Command::Open:
            open(url_of(selection().places.front()));
            break;
        case Command::Copy:
            QGuiApplication::clipboard()->setMimeData(TreeDrag::mime_data(urls()).release());
            break;
        case Command::CopyUrl:
            copy_urls();
            break;
        case Command::DownloadTo:
            download_to();
            break;
        default:
            break;
    }
}

void ListPane::unmark_selection() {
    const Selection selected = selection();
    if (mode_ == Mode::Servers) {
        for (const SharedPtr<TreeEntry>& node : selected.nodes) NodeMarks::clear(*node);
    } else {
        for (const Place& place : selected.places)
            ChangeMarks::set(*place.entry, EntryState::Unchanged);
    }
    refresh();
    emit marks_cleared();
}

QList<QUrl> ListPane::urls() const {
    QList<QUrl> urls;
    for (const Place& place : selection().places)
        urls.push_back(TreeDrag::url_of(*place.server, entry_or_root(place)));
    return urls;
}

// The one command that copies passwords: the user asks for the URL itself.
void ListPane::copy_urls() {
    std::string text;
    for (const Place& place : selection().places)
        text += (text.empty() ? "" : "\n") + url_of(place);
    if (desktop_ != nullptr)
        desktop_->copy_text(text);
}

void ListPane::download_to() {
    JobStarter::download_to(application_, selection().places, options_.show_changed_only, this);
}

void ListPane::contextMenuEvent(QContextMenuEvent* event) {
    if (actions_ == nullptr || mode_ == Mode::None)
        return;
    // The menu's commands go to the pane with the focus, and to the row
    // clicked when it was not among those chosen.
    setFocus(Qt::PopupFocusReason);
    const QModelIndex clicked = indexAt(event->pos());
    if (clicked.isValid() && !selectionModel()->isRowSelected(clicked.row()))
        setCurrentIndex(clicked);
    emit selection_changed();
    QMenu menu(this);
    const auto add = [&](std::initializer_list<Command> commands) {
        for (Command command : commands) {
            QAction* action = (*actions_)[command];
            action->setEnabled(can_run(command));
            menu.addAction(action);
        }
    };
    if (mode_ == Mode::Downloads) {
        add({Command::Open, Command::OpenLocalFolder, Command::EditDownload, Command::Remove});
        menu.addSeparator();
        add({Command::Resume, Command::Pause, Command::DownloadAgain});
        menu.addSeparator();
        add({Command::ViewTransferLog});
    } else {
        add({Command::Unmark});
        if (!selected_rows().empty()) {
            menu.addSeparator();
            add({Command::Open, Command::CopyUrl, Command::DownloadTo, Command::AddToIgnoreList,
                 Command::Copy});
        }
    }
    menu.exec(event->globalPos());
    emit selection_changed();
}

// What leaves in a drag is what a copy puts on the clipboard.
void ListPane::startDrag(Qt::DropActions) {
    const QList<QUrl> dragged = urls();
    if (dragged.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(TreeDrag::mime_data(dragged).release());
    drag->exec(Qt::CopyAction);
}

}  // namespace tovan
