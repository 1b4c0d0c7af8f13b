#include "app/gui/TreeLook.h"

#include <array>

#include "app/gui/Icons.h"
#include "engine/catalog/Server.h"
#include "engine/scan/Scanner.h"

namespace tovan {

namespace {

bool changed(const TreeEntry& server_node) {
    const SharedPtr<Entry> root = server_node.server->root();
    return root && root->state() != EntryState::Unchanged;
}

}  // namespace

TreeLook::Slot TreeLook::slot_of(const TreeItem& item) {
    return item.is_folder() ? folder_slot(item) : node_slot(*item.node);
}

TreeLook::Slot TreeLook::node_slot(const TreeEntry& node) {
    if (node.kind == TreeEntry::Downloads)
        return Downloads;
    if (node.kind == TreeEntry::Group) {
        const bool online = node.online_count() != 0;
        const bool changes = node.has_changes(false);
        if (online)
            return changes ? GroupChanged : Group;
        return changes ? GroupOfflineChanged : GroupOffline;
    }
    const bool changes = node.server && changed(node);
    if (node.online)
        return changes ? ServerChanged : Server;
    return changes ? ServerOfflineChanged : ServerOffline;
}

TreeLook::Slot TreeLook::folder_slot(const TreeItem& item) {
    const TreeItem* server_item = item.node_item();
    if (server_item != nullptr) {
        if (const SharedPtr<Scanner> scanner = server_item->node->scanner) {
            if (scanner->is_scanning(*item.entry))
                return FolderScanning;
            if (scanner->is_queued(*item.entry))
                return FolderQueued;
        }
    }
    switch (item.entry->state()) {
        case EntryState::New:
            return FolderNew;
        case EntryState::Deleted:
            return FolderDeleted;
        case EntryState::ContainsChanges:
        case EntryState::Modified:
            return item.has(TreeItem::Expanded) ? FolderChangedOpen : FolderChanged;
        case EntryState::Unchanged:
            break;
    }
    return excluded(item) ? FolderNoScan : Folder;
}

QIcon TreeLook::icon(Slot slot) {
    static const std::array<const char*, SlotCount> names = {
        "group",           "server",
        "group-changed",   "server-changed",
        "server-offline",  "server-offline-changed",
        "group-offline",   "group-offline-changed",
        "folder",          "folder-noscan",
        "folder-new",      "folder-deleted",
        "folder-changed",  "folder-changed-open",
        "folder-scanning", "folder-queued",
        "downloads"};
    // Loaded once: an SVG icon costs a file read and a parse.
    static std::array<QIcon, SlotCount> icons;
    QIcon& cached = icons[static_cast<std::size_t>(slot)];
    if (cached.isNull())
        cached = Icons::get(names[static_cast<std::size_t>(slot)]);
    return cached;
}

bool TreeLook::excluded(const TreeItem& item) {
    const TreeItem* server_item = item.node_item();
    return server_item != nullptr && server_item->node->server &&
           server_item->node->server->effective_scan_depth(*item.entry) == Server::NoScan;
}

QColor TreeLook::colour_of(EntryState state) {
    switch (state) {
        case EntryState::ContainsChanges:
        case EntryState::Modified:
            return {220, 0, 0};
        case EntryState::New:
            return {0, 150, 0};
        case EntryState::Deleted:
            return {0, 0, 220};
        case EntryState::Unchanged:
            break;
    }
    return {};
}

QVariant TreeLook::foreground(const TreeItem& item) {
    const SharedPtr<Entry> entry = item.entry;
    if (!entry)
        return {};
    const QColor colour = colour_of(entry->state());
    if (colour.isValid())
        return colour;
    if (item.is_folder() && excluded(item))
        return excluded_colour();
    return {};
}

}  // namespace tovan
