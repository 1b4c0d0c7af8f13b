#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "app/gui/KeyedRows.h"
#include "app/gui/TreeLook.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Options;

// What one row of the servers mode shows, read at the last refresh.
struct ServerRow {
    SharedPtr<TreeEntry> node;
    QString name;
    QString type;
    TreeLook::Slot slot = TreeLook::Group;
    bool changed = false;
    std::uint32_t folders = 0;
    std::uint32_t files = 0;
    std::uint64_t size = 0;

    static ServerRow of(const SharedPtr<TreeEntry>& node);
    const void* key() const { return node.get(); }
    bool operator==(const ServerRow&) const = default;
};

// The list pane's servers mode: the groups and servers of one group with their
// catalog totals. Totals cost a walk of every catalog below a row (about 9 ms a
// million entries), so they are read once per refresh, never per cell.
// Interface thread only.
class ServerListModel : public KeyedRows<ServerRow> {
    Q_OBJECT

public:
    enum Column { Name, Type, Folders, Files, Size, ColumnCount };

    explicit ServerListModel(const Options& options, QObject* parent = nullptr);

    static int default_width(int column) { return width_of(Columns, column); }

    // Shows the children of the group, leaving out the downloads node and, while
    // the options say so, servers that are offline.
    void show_group(const SharedPtr<TreeEntry>& group);
    // Reads the shown group again: rows come and go, the others change in place.
    void refresh();

    SharedPtr<TreeEntry> node_at(int row) const;
    const SharedPtr<TreeEntry>& group() const { return group_; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    static constexpr std::array<ListColumn, ColumnCount> Columns = {
        {{"Name", 200}, {"Type", 60}, {"Folders", 60}, {"Files", 60}, {"Size", 120}}};

    bool shown(const TreeEntry& node) const;

    const Options& options_;
    SharedPtr<TreeEntry> group_;
};

}  // namespace tovan
