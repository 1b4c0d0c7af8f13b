#pragma once

#include <memory>
#include <vector>

#include "app/ChangeRecord.h"
#include "app/gui/TreeItemSearch.h"
#include "app/gui/TreeRows.h"

namespace tovan {

class Document;
class Options;

// The tree pane's model: the root group with its groups and servers, the
// downloads node, and below each server the catalog folders a view has
// fetched. It never copies a catalog: a folder's children are read when the
// view expands it, and again only when a scan reports that folder changed.
// Every update compares what the catalog holds now with the rows shown and
// emits only the rows inserted, removed and changed, so expansion, selection
// and scroll position stay. Catalog reads take the catalog lock in short holds
// of their own; no signal is emitted while one is held. Interface thread only.
class TreeModel : public TreeRows {
    Q_OBJECT

public:
    TreeModel(Document& document, const Options& options, QObject* parent = nullptr);
    ~TreeModel() override;

    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    const TreeItem* item(const QModelIndex& index) const;
    // The row of a group, server or the downloads node.
    QModelIndex node_index(const TreeEntry* node) const;
    // The row of the server's folder, fetching the way down to it when asked;
    // else the nearest row above it. Invalid when the server has no row.
    QModelIndex folder_index(const TreeEntry* node, const Entry& folder, bool fetch);
    // The server node of a server or folder row.
    SharedPtr<TreeEntry> node_of(const QModelIndex& index) const;

    // Compares every fetched row with the document again (nodes added or
    // removed, options changed); folders too unless nodes_only.
    void refresh(bool nodes_only = false);
    // The folders a scan changed: their rows and those above them.
    void update_folders(const std::vector<ChangeRecord>& folders);
    // The node's label and icon, and those of the groups above it.
    void update_node(const TreeEntry* node);
    void set_expanded(const QModelIndex& index, bool expanded);
    // Moves a group or server into a group. Refused (false) for the root, for a
    // group into itself or one of its own descendants, and for its own group.
    bool move_node(const SharedPtr<TreeEntry>& node, const SharedPtr<TreeEntry>& group);

signals:
    void node_moved(const tovan::SharedPtr<tovan::TreeEntry>& node);

protected:
    std::vector<Wanted> wanted_children(const TreeItem& item) const override;

private:
    void refresh_item(TreeItem& item, bool nodes_only, std::vector<TreeItem*>& shown);
    TreeItem* walk_down(TreeItem* server_item, const TreeItemSearch::Way& way, bool fetch,
                        std::vector<TreeItem*>* passed);

    Document& document_;
    const Options& options_;
};

}  // namespace tovan
