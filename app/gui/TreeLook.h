#pragma once

#include <QColor>
#include <QIcon>
#include <QVariant>

#include "app/gui/TreeItem.h"
#include "engine/catalog/EntryState.h"

namespace tovan {

// The icon and text colour of a tree row: the sixteen icon slots of groups,
// servers and folders, and the colours of change marks.
class TreeLook {
public:
    enum Slot {
        Group,
        Server,
        GroupChanged,
        ServerChanged,
        ServerOffline,
        ServerOfflineChanged,
        GroupOffline,
        GroupOfflineChanged,
        Folder,
        FolderNoScan,
        FolderNew,
        FolderDeleted,
        FolderChanged,
        FolderChangedOpen,
        FolderScanning,
        FolderQueued,
        Downloads,
        SlotCount
    };

    static Slot slot_of(const TreeItem& item);
    static QIcon icon(Slot slot);
    // Red for changes and modifications, green for new, blue for deleted; grey
    // for a folder excluded from scans; none (the style's) for the rest.
    static QVariant foreground(const TreeItem& item);
    static QColor colour_of(EntryState state);
    static QColor excluded_colour() { return {128, 128, 128}; }

private:
    static Slot node_slot(const TreeEntry& node);
    static Slot folder_slot(const TreeItem& item);
    static bool excluded(const TreeItem& item);
};

}  // namespace tovan
