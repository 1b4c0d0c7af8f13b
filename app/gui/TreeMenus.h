#pragma once

#include <QMenu>
#include <cstdint>
#include <memory>

#include "app/gui/Command.h"
#include "app/gui/TreeItem.h"

namespace tovan {

class TreePane;

// The tree's four context menus: for a server, a group, the downloads node and
// a folder. They show the window's own actions, so what is enabled matches the
// menus and keys, plus the tree's own entries (edit, export, import, the scan
// depth with the current setting checked).
class TreeMenus {
public:
    explicit TreeMenus(TreePane& pane) : pane_(pane) {}

    std::unique_ptr<QMenu> menu_for(const TreeItem& item);

private:
    void add(QMenu& menu, Command command) const;
    void add(QMenu& menu, const QString& text, void (TreePane::*call)()) const;
    void add_editing(QMenu& menu) const;
    void fill_server(QMenu& menu) const;
    void fill_group(QMenu& menu) const;
    void fill_downloads(QMenu& menu) const;
    void fill_folder(QMenu& menu) const;
    void add_depths(QMenu& menu, bool folder) const;
    void add_auto_sync(QMenu& menu, bool disabled) const;

    TreePane& pane_;
};

}  // namespace tovan
