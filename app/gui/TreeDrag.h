#pragma once

#include <QMimeData>
#include <QUrl>
#include <memory>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// What a drag from the tree carries, and what a drop onto it may bring back.
// Outside the program a dragged item is its URL (a file manager's "text/uri-list"
// and plain text), never with a password. Inside, a node travels as this
// process's id and the node's address, which is only ever compared with the
// addresses in the document: a drop from another process, or of a node since
// removed, finds nothing and is refused.
class TreeDrag {
public:
    static constexpr const char* NodeFormat = "application/x-ferrovane-tree-node";

    // The URL of the server's root (entry null) or folder, as another program
    // opens it, without the password.
    static QUrl url_of(const Server& server, const Entry* entry);
    // node: empty for a folder, which only leaves as a URL.
    static std::unique_ptr<QMimeData> mime_data(const QUrl& url, const TreeEntry* node);
    // Several places, as the list's rows leave: URLs only.
    static std::unique_ptr<QMimeData> mime_data(const QList<QUrl>& urls);
    // The dragged node when it is in the tree below root and came from this
    // process; empty otherwise.
    static SharedPtr<TreeEntry> dropped_node(const QMimeData& data,
                                             const SharedPtr<TreeEntry>& root);
};

}  // namespace tovan
