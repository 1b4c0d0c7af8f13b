#pragma once

#include <QString>

#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

class QWidget;

namespace tovan {

class Document;
class Scheduler;
class Server;

// Adds, edits, removes, exports and imports groups and servers of the tree,
// asking the user through the group and server dialogs. Each returns what it added or
// false/empty when the user cancelled or it could not be done (the user is told).
class TreeEditor {
public:
    TreeEditor(Document& document, Scheduler& scheduler, QWidget* window);

    // What a new server watches: a local folder, a network share or an FTP server.
    enum class Place { Local, Network, Ftp };

    SharedPtr<TreeEntry> add_group(const SharedPtr<TreeEntry>& group);
    SharedPtr<TreeEntry> add_server(const SharedPtr<TreeEntry>& group, Place place);
    // A group's name, a server's place and name.
    bool edit(const SharedPtr<TreeEntry>& node);
    // Asks first; never the root group or the downloads node.
    bool remove(const SharedPtr<TreeEntry>& node);
    bool export_node(const SharedPtr<TreeEntry>& node);
    SharedPtr<TreeEntry> import_into(const SharedPtr<TreeEntry>& group);

    // Takes a node out of the document, its scan stopped; false for a root.
    bool remove_now(const SharedPtr<TreeEntry>& node);

private:
    void warn(const QString& text) const;
    // Points the server at the path or URL; false, the user told, when it names
    // no place.
    bool read_place(Server& server, const std::string& path) const;

    Document& document_;
    Scheduler& scheduler_;
    QWidget* window_;
};

}  // namespace tovan
