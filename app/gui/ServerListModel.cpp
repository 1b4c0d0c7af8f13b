#include "app/gui/ServerListModel.h"

#include "app/Options.h"
#include "app/TextFormats.h"
#include "app/gui/TreeItem.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {
namespace {

QString type_of(const TreeEntry& node) {
    if (node.kind == TreeEntry::Group)
        return QObject::tr("Group");
    if (!node.server)
        return {};
    const ServerKind kind = node.server->kind();
    if (kind == ServerKind::Local)
        return QObject::tr("Local");
    if (kind == ServerKind::Network)
        return QObject::tr("Network");
    if (is_ftp(kind))
        return QObject::tr("Ftp");
    if (kind == ServerKind::Sftp)
        return QObject::tr("Sftp");
    return is_http(kind) ? QObject::tr("Http") : QString();
}

}  // namespace

ServerRow ServerRow::of(const SharedPtr<TreeEntry>& node) {
    ServerRow row;
    row.node = node;
    row.name = QString::fromStdString(masked_passwords(node->label()));
    row.type = type_of(*node);
    TreeItem item;
    item.node = node;
    row.slot = TreeLook::slot_of(item);
    row.changed = node->has_changes(false);
    CatalogStats stats;
    node->statistics(stats);
    row.folders = stats.folders;
    row.files = stats.files;
    row.size = stats.current_size;
    return row;
}

ServerListModel::ServerListModel(const Options& options, QObject* parent)
    : KeyedRows(Columns, parent), options_(options) {}

void ServerListModel::show_group(const SharedPtr<TreeEntry>& group) {
    group_ = group;
    refresh();
}

void ServerListModel::refresh() {
    std::vector<ServerRow> wanted;
    if (group_)
        for (const SharedPtr<TreeEntry>& child : group_->children)
            if (shown(*child))
                wanted.push_back(ServerRow::of(child));
    set_rows(std::move(wanted));
}

bool ServerListModel::shown(const TreeEntry& node) const {
    if (node.kind == TreeEntry::Downloads)
        return false;
    return !(options_.show_online_only && node.kind == TreeEntry::ServerNode && !node.online);
}

SharedPtr<TreeEntry> ServerListModel::node_at(int row) const {
    const ServerRow* shown = row_at(row);
    return shown != nullptr ? shown->node : SharedPtr<TreeEntry>();
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const {
    const ServerRow* row = row_at(index.row());
    if (row == nullptr || !index.isValid())
        return {};
    if (role == Qt::DecorationRole && index.column() == Name)
        return TreeLook::icon(row->slot);
    if (role == Qt::ForegroundRole && row->changed)
        return TreeLook::colour_of(EntryState::ContainsChanges);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
        case Name:
            return row->name;
        case Type:
            return row->type;
        case Folders:
            return QString::number(row->folders);
        case Files:
            return QString::number(row->files);
        case Size:
            return QString::fromStdString(size_text(static_cast<std::int64_t>(row->size)));
        default:
            return {};
    }
}

}  // namespace tovan
