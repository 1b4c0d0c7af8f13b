#include "app/gui/TreePane.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>

#include "app/Document.h"
#include "app/NextChange.h"
#include "app/NodeMarks.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "app/gui/CertificateDialog.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/NodeLookup.h"
#include "app/gui/TreeDrag.h"
#include "app/gui/TreeMenus.h"
#include "app/gui/TreeModel.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

TreePane::TreePane(Document& document, Scheduler& scheduler, Options& options,
                   DesktopServices& desktop, QWidget* parent)
    : QTreeView(parent),
      document_(document),
      scheduler_(scheduler),
      options_(options),
      desktop_(desktop),
      model_(new TreeModel(document, options, this)),
      editor_(document, scheduler, this) {
    setObjectName("tree");
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setModel(model_);
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { model_->set_expanded(index, true); });
    connect(this, &QTreeView::collapsed, this, &TreePane::keep_root_open);
    connect(model_, &TreeModel::node_moved, this, [this](const SharedPtr<TreeEntry>& node) {
        select({node, {}, {}});
    });
    rebuild();
}

TreePane::~TreePane() = default;

void TreePane::keep_root_open(const QModelIndex& index) {
    // The root group always shows what it holds.
    if (index == model_->node_index(document_.servers().get()))
        expand(index);
    else
        model_->set_expanded(index, false);
}

void TreePane::rebuild() {
    model_->refresh();
    const QModelIndex root = model_->node_index(document_.servers().get());
    if (model_->canFetchMore(root))
        model_->fetchMore(root);
    expand(root);
    if (!currentIndex().isValid())
        setCurrentIndex(model_->index(0, 0));
}

ViewsHistory::State TreePane::state_of(const QModelIndex& index) const {
    const TreeItem* item = model_->item(index);
    if (item == nullptr)
        return {};
    return {item->node_item()->node, item->is_folder() ? item->entry : SharedPtr<Entry>(),
            index.data().toString().toStdString()};
}

ViewsHistory::State TreePane::current_state() const {
    return state_of(currentIndex());
}

SharedPtr<TreeEntry> TreePane::selected_node() const {
    return model_->node_of(currentIndex());
}

SharedPtr<Entry> TreePane::selected_folder() const {
    const TreeItem* item = model_->item(currentIndex());
    return item == nullptr ? SharedPtr<Entry>() : item->entry;
}

bool TreePane::folder_selected() const {
    const TreeItem* item = model_->item(currentIndex());
    return item != nullptr && item->is_folder();
}

bool TreePane::group_selected() const {
    const TreeItem* item = model_->item(currentIndex());
    return item != nullptr && !item->is_folder() && item->node->kind == TreeEntry::Group;
}

void TreePane::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    emit selection_moved(state_of(previous), state_of(current));
}

// The row of a node, fetching the groups on the way to it.
QModelIndex TreePane::node_row(const TreeEntry* node) {
    std::vector<const TreeEntry*> way;
    const SharedPtr<TreeEntry> root = document_.servers();
    for (SharedPtr<TreeEntry> up = find_parent(root, node); up; up = find_parent(root, up.get()))
        way.insert(way.begin(), up.get());
    for (const TreeEntry* group : way) {
        const QModelIndex index = model_->node_index(group);
        if (model_->canFetchMore(index))
            model_->fetchMore(index);
    }
    return model_->node_index(node);
}

// A server or entry asked for from elsewhere is shown even where the view's
// filters would hide it.
bool TreePane::show_node(const SharedPtr<TreeEntry>& node) {
    if (node->kind != TreeEntry::ServerNode || !options_.show_online_only || node->online)
        return false;
    options_.show_online_only = false;
    model_->refresh(true);
    return true;
}

bool TreePane::select(const ViewsHistory::State& state) {
    if (!state.node)
        return false;
    if (!find_node(document_.servers(), state.node.get()) && state.node != document_.downloads())
        return false;
    show_node(state.node);
    const SharedPtr<Server> server = state.node->server;
    if (!state.entry || !server || state.entry == server->root())
        return select_index(node_row(state.node.get()));
    if (options_.show_changed_only && state.entry->state() == EntryState::Unchanged) {
        options_.show_changed_only = false;
        model_->refresh();
    }
    if (!node_row(state.node.get()).isValid())
        return false;
    return select_index(model_->folder_index(state.node.get(), *state.entry, true));
}

bool TreePane::select_index(const QModelIndex& index) {
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) expand(up);
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

bool TreePane::go_to_next_change() {
    const ViewsHistory::State state = current_state();
    const std::optional<TreePlace> found =
        NextChange::find(document_.servers(), {state.node, state.entry},
                         {options_.show_changed_only, options_.show_online_only});
    return found && select({found->node, found->folder, {}});
}

bool TreePane::marked() const {
    const SharedPtr<TreeEntry> node = selected_node();
    if (!node)
        return false;
    if (node->kind == TreeEntry::Group)
        return node->has_changes(false);
    const SharedPtr<Entry> folder = selected_folder();
    return folder && folder->state() != EntryState::Unchanged;
}

void TreePane::unmark() {
    const SharedPtr<TreeEntry> node = selected_node();
    if (node->kind == TreeEntry::Group)
        NodeMarks::clear(*node);
    else if (const SharedPtr<Entry> folder = selected_folder())
        ChangeMarks::set(*folder, EntryState::Unchanged);
    rebuild();
}

std::int32_t TreePane::scan_depth() const {
    const SharedPtr<TreeEntry> node = selected_node();
    const SharedPtr<Entry> folder = selected_folder();
    return node && node->server && folder ? node->server->scan_depth(*folder)
                                          : Server::DefaultDepth;
}

void TreePane::set_scan_depth(std::int32_t depth) {
    const SharedPtr<TreeEntry> node = selected_node();
    const SharedPtr<Entry> folder = selected_folder();
    if (!node || !node->server || !folder)
        return;
    node->server->set_scan_depth(*folder, depth);
    rebuild();
}

void TreePane::toggle_auto_sync() {
    if (const SharedPtr<TreeEntry> node = selected_node())
        node->auto_sync_disabled = !node->auto_sync_disabled;
}

void TreePane::add_node(const SharedPtr<TreeEntry>& added) {
    if (!added)
        return;
    model_->refresh(true);
    select({added, {}, {}});
}

void TreePane::edit_selected() {
    const SharedPtr<TreeEntry> node = selected_node();
    if (node && !folder_selected() && node->kind != TreeEntry::Downloads && editor_.edit(node))
        model_->update_node(node.get());
}

void TreePane::export_selected() {
    const SharedPtr<TreeEntry> node = selected_node();
    if (node && node->kind != TreeEntry::Downloads)
        editor_.export_node(node);
}

void TreePane::import_into_selected() {
    if (group_selected())
        add_node(editor_.import_into(selected_node()));
}

void TreePane::show_log() {
    const SharedPtr<TreeEntry> node = selected_node();
    if (!node || !node->server)
        return;
    QMessageBox box(QMessageBox::Information, tr("Transfer details"),
                    QString::fromStdString(masked_passwords(node->label())), QMessageBox::Close,
                    this);
    box.setDetailedText(QString::fromStdString(masked_passwords(node->server->log_contents())));
    box.exec();
}

void TreePane::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || actions_ == nullptr)
        return;
    setFocus(Qt::MouseFocusReason);
    setCurrentIndex(index);
    const std::unique_ptr<QMenu> menu = TreeMenus(*this).menu_for(*model_->item(index));
    menu->exec(event->globalPos());
}

void TreePane::tree_updated(const std::vector<ChangeRecord>& folders) {
    model_->update_folders(folders);
}

void TreePane::node_updated(const SharedPtr<TreeEntry>& node) {
    model_->update_node(node.get());
    // Folders being scanned or queued change their icons.
    viewport()->update();
}

void TreePane::online_changed(const SharedPtr<TreeEntry>& node) {
    if (options_.show_online_only)
        model_->refresh(true);
    model_->update_node(node.get());
}

void TreePane::scan_finished(const SharedPtr<TreeEntry>& node) {
    model_->update_node(node.get());
    viewport()->update();
}

bool TreePane::handles(Command command) const {
    switch (command) {
        case Command::Up:
        case Command::Stop:
        case Command::Synchronize:
        case Command::UpdateStatus:
        case Command::Open:
        case Command::CopyUrl:
        case Command::NextChange:
        case Command::Unmark:
        case Command::NewGroup:
        case Command::NewLocalFolder:
        case Command::NewNetworkServer:
        case Command::NewFtpServer:
        case Command::Remove:
        case Command::Copy:
        case Command::ScanDepth1:
        case Command::ScanDepth2:
        case Command::ScanDepth3:
        case Command::NoScan:
        case Command::DownloadTo:
            return true;
        default:
            return false;
    }
}

bool TreePane::can_run(Command command) const {
    if (command == Command::NextChange)
        return document_.servers()->has_changes(options_.show_online_only);
    const SharedPtr<TreeEntry> node = selected_node();
    if (!node)
        return false;
    const bool place = node->kind == TreeEntry::ServerNode && node->server;
    switch (command) {
        case Command::Up:
            return currentIndex().parent().isValid();
        case Command::Stop:
            return scheduler_.is_scanning(*node);
        case Command::Synchronize:
        case Command::UpdateStatus:
            return node->kind != TreeEntry::Downloads;
        case Command::Unmark:
            return marked();
        case Command::Open:
        case Command::Copy:
        case Command::CopyUrl:
        case Command::DownloadTo:
        case Command::ScanDepth1:
        case Command::ScanDepth2:
        case Command::ScanDepth3:
        case Command::NoScan:
            return place;
        case Command::NewGroup:
        case Command::NewLocalFolder:
        case Command::NewNetworkServer:
        case Command::NewFtpServer:
            return group_selected();
        case Command::Remove:
            return !folder_selected() && find_parent(document_.servers(), node.get());
        default:
            return false;
    }
}

void TreePane::run(Command command) {
    const SharedPtr<TreeEntry> node = selected_node();
    if (!can_run(command))
        return;
    const SharedPtr<Entry> folder = folder_selected() ? selected_folder() : SharedPtr<Entry>();
    const Entry* place = folder.get();
    switch (command) {
        case Command::Up:
            setCurrentIndex(currentIndex().parent());
            break;
        case Command::Stop:
            scheduler_.stop_scanning(*node);
            break;
        case Command::Synchronize:
        case Command::UpdateStatus:
            // A scan refused by the server's certificate offers to trust it first.
            CertificateDialog::offer(this, document_, *node);
            scheduler_.start_scanning(node, folder, command == Command::UpdateStatus, false);
            model_->update_node(node.get());
            break;
        case Command::NextChange:
            go_to_next_change();
            break;
        case Command::Unmark:
            unmark();
            break;
        case Command::Open:
            desktop_.open(node->server->url_with_scheme(place));
            break;
        case Command::Copy:
            QGuiApplication::clipboard()->setMimeData(
                TreeDrag::mime_data(TreeDrag::url_of(*node->server, place), nullptr).release());
            break;
        case Command::CopyUrl:
            desktop_.copy_text(node->server->url_with_scheme(place));
            break;
        case Command::DownloadTo:
            emit download_to_requested({node->server, folder ? folder : node->server->root()});
            break;
        case Command::Remove:
            if (editor_.remove(node))
                model_->refresh(true);
            break;
        case Command::ScanDepth1:
        case Command::ScanDepth2:
        case Command::ScanDepth3:
            set_scan_depth(static_cast<int>(command) - static_cast<int>(Command::ScanDepth1) + 1);
            break;
        case Command::NoScan:
            set_scan_depth(Server::NoScan);
            break;
        case Command::NewGroup:
            add_node(editor_.add_group(node));
            break;
        case Command::NewLocalFolder:
            add_node(editor_.add_server(node, TreeEditor::Place::Local));
            break;
        case Command::NewNetworkServer:
            add_node(editor_.add_server(node, TreeEditor::Place::Network));
            break;
        case Command::NewFtpServer:
            add_node(editor_.add_server(node, TreeEditor::Place::Ftp));
            break;
        default:
            break;
    }
}

}  // namespace tovan
