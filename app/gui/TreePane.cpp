#include "app/gui/TreePane.h"

#include "app/Document.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/NodeLookup.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

namespace {

const TreeEntry* address_of(const QTreeWidgetItem* item) {
    return item == nullptr
               ? nullptr
               : reinterpret_cast<const TreeEntry*>(item->data(0, Qt::UserRole).value<quintptr>());
}

}  // namespace

TreePane::TreePane(Document& document, Scheduler& scheduler, const Options& options,
                   DesktopServices& desktop, QWidget* parent)
    : QTreeWidget(parent),
      document_(document),
      scheduler_(scheduler),
      options_(options),
      desktop_(desktop) {
    setObjectName("tree");
    setHeaderHidden(true);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                emit selection_moved(state_of(previous), state_of(current));
            });
    rebuild();
}

void TreePane::rebuild() {
    const TreeEntry* selected = address_of(currentItem());
    const QSignalBlocker quiet(this);
    clear();
    add_items(invisibleRootItem(), document_.servers());
    add_items(invisibleRootItem(), document_.downloads());
    expandToDepth(0);
    QTreeWidgetItem* item = item_of(selected);
    setCurrentItem(item != nullptr ? item : topLevelItem(0));
}

void TreePane::add_items(QTreeWidgetItem* parent, const SharedPtr<TreeEntry>& node) {
    if (!node)
        return;
    if (options_.show_online_only && node->kind == TreeEntry::ServerNode && !node->online)
        return;
    auto* item = new QTreeWidgetItem(parent, {label_of(*node)});
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(node.get())));
    if (node->kind == TreeEntry::Group)
        for (const SharedPtr<TreeEntry>& child : node->children) add_items(item, child);
}

QString TreePane::label_of(const TreeEntry& node) const {
    if (node.kind == TreeEntry::Downloads)
        return tr("Downloads");
    QString label = QString::fromStdString(masked_passwords(node.label()));
    if (node.kind == TreeEntry::Group)
        label += QString(" (%1/%2)").arg(node.online_count()).arg(node.server_count());
    else if (node.scanner)
        label += QString(" [%1]").arg(node.remaining_requests);
    return label;
}

QTreeWidgetItem* TreePane::item_of(const TreeEntry* node) const {
    if (node == nullptr)
        return nullptr;
    for (QTreeWidgetItemIterator item(const_cast<TreePane*>(this)); *item != nullptr; ++item)
        if (address_of(*item) == node)
            return *item;
    return nullptr;
}

SharedPtr<TreeEntry> TreePane::node_of(const QTreeWidgetItem* item) const {
    const TreeEntry* address = address_of(item);
    if (SharedPtr<TreeEntry> node = find_node(document_.servers(), address))
        return node;
    const SharedPtr<TreeEntry> downloads = document_.downloads();
    return downloads.get() == address ? downloads : SharedPtr<TreeEntry>();
}

ViewsHistory::State TreePane::state_of(const QTreeWidgetItem* item) const {
    if (item == nullptr)
        return {};
    return {node_of(item), {}, item->text(0).toStdString()};
}

ViewsHistory::State TreePane::current_state() const {
    return state_of(currentItem());
}

SharedPtr<TreeEntry> TreePane::selected_node() const {
    return node_of(currentItem());
}

bool TreePane::select(const ViewsHistory::State& state) {
    QTreeWidgetItem* item = item_of(state.node.get());
    if (item == nullptr)
        return false;
    setCurrentItem(item);
    return true;
}

void TreePane::update_label(const SharedPtr<TreeEntry>& node) {
    for (const TreeEntry* changed = node.get(); changed != nullptr;
         changed = find_parent(document_.servers(), changed).get())
        if (QTreeWidgetItem* item = item_of(changed))
            item->setText(0, label_of(*changed));
}

void TreePane::node_updated(const SharedPtr<TreeEntry>& node) {
    update_label(node);
}

void TreePane::online_changed(const SharedPtr<TreeEntry>& node) {
    if (options_.show_online_only)
        rebuild();
    else
        update_label(node);
}

void TreePane::scan_finished(const SharedPtr<TreeEntry>& node) {
    update_label(node);
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
    const SharedPtr<TreeEntry> node = selected_node();
    if (!node)
        return false;
    const bool server = node->kind == TreeEntry::ServerNode && node->server;
    switch (command) {
        case Command::Up:
            return currentItem()->parent() != nullptr;
        case Command::Stop:
            return scheduler_.is_scanning(*node);
        case Command::Synchronize:
        case Command::UpdateStatus:
            return node->kind != TreeEntry::Downloads;
        case Command::Open:
        case Command::CopyUrl:
            return server;
        default:
            return false;
    }
}

void TreePane::run(Command command) {
    const SharedPtr<TreeEntry> node = selected_node();
    if (!node || !can_run(command))
        return;
    switch (command) {
        case Command::Up:
            setCurrentItem(currentItem()->parent());
            break;
        case Command::Stop:
            scheduler_.stop_scanning(*node);
            break;
        case Command::Synchronize:
        case Command::UpdateStatus:
            scheduler_.start_scanning(node, {}, command == Command::UpdateStatus, false);
            break;
        case Command::Open:
            desktop_.open(node->server->url_with_scheme());
            break;
        case Command::CopyUrl:
            desktop_.copy_text(node->server->url_with_scheme());
            break;
        default:
            break;
    }
}

}  // namespace tovan
