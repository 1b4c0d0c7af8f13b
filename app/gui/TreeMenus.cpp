#include "app/gui/TreeMenus.h"

#include <QActionGroup>

#include "app/gui/CommandActions.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/Server.h"

namespace tovan {

std::unique_ptr<QMenu> TreeMenus::menu_for(const TreeItem& item) {
    auto menu = std::make_unique<QMenu>(&pane_);
    if (item.is_folder()) {
        menu->setObjectName("folderMenu");
        fill_folder(*menu);
    } else if (item.node->kind == TreeEntry::Group) {
        menu->setObjectName("groupMenu");
        fill_group(*menu);
        add_auto_sync(*menu, item.node->auto_sync_disabled);
    } else if (item.node->kind == TreeEntry::Downloads) {
        menu->setObjectName("downloadsMenu");
        fill_downloads(*menu);
    } else {
        menu->setObjectName("serverMenu");
        fill_server(*menu);
        add_auto_sync(*menu, item.node->auto_sync_disabled);
    }
    return menu;
}

void TreeMenus::add(QMenu& menu, Command command) const {
    menu.addAction((*pane_.actions())[command]);
}

void TreeMenus::add(QMenu& menu, const QString& text, void (TreePane::*call)()) const {
    TreePane* pane = &pane_;
    menu.addAction(text, pane, [pane, call] { (pane->*call)(); });
}

void TreeMenus::fill_server(QMenu& menu) const {
    add(menu, Command::Open);
    add(menu, Command::CopyUrl);
    menu.addSeparator();
    add_editing(menu);
    add(menu, Command::Synchronize);
    add_depths(*menu.addMenu(QMenu::tr("Scan Depth")), false);
    add(menu, Command::UpdateStatus);
    add(menu, Command::Stop);
    add(menu, QMenu::tr("Show Log..."), &TreePane::show_log);
}

// Export, edit, remove and unmark, the same for a server and a group.
void TreeMenus::add_editing(QMenu& menu) const {
    add(menu, QMenu::tr("Export..."), &TreePane::export_selected);
    add(menu, QMenu::tr("Edit..."), &TreePane::edit_selected);
    add(menu, Command::Remove);
    menu.addSeparator();
    add(menu, Command::Unmark);
    menu.addSeparator();
}

void TreeMenus::fill_group(QMenu& menu) const {
    QMenu* add_menu = menu.addMenu(QMenu::tr("&New"));
    add(*add_menu, Command::NewGroup);
    add_menu->addSeparator();
    add(*add_menu, Command::NewLocalFolder);
    add(*add_menu, Command::NewNetworkServer);
    add(*add_menu, Command::NewFtpServer);
    add(menu, QMenu::tr("Import..."), &TreePane::import_into_selected);
    add_editing(menu);
    add(menu, Command::UpdateStatus);
    add(menu, Command::Synchronize);
    add(menu, Command::Stop);
}

void TreeMenus::fill_downloads(QMenu& menu) const {
    add(menu, Command::UrlToDownload);
    menu.addSeparator();
    add(menu, Command::PauseAll);
    add(menu, Command::ResumeAll);
    add(menu, Command::RemoveAllComplete);
}

void TreeMenus::fill_folder(QMenu& menu) const {
    add(menu, Command::Open);
    add(menu, Command::Copy);
    add(menu, Command::CopyUrl);
    menu.addSeparator();
    add(menu, Command::DownloadTo);
    menu.addSeparator();
    add(menu, Command::Unmark);
    menu.addSeparator();
    add_depths(*menu.addMenu(QMenu::tr("Scan &Depth")), true);
    add(menu, Command::Synchronize);
    add(menu, Command::Stop);
}

// A folder may go back to the depth it inherits; a server's root has none to inherit.
void TreeMenus::add_depths(QMenu& menu, bool folder) const {
    menu.setObjectName("depthMenu");
    auto* choices = new QActionGroup(&menu);
    const std::int32_t current = pane_.scan_depth();
    TreePane* pane = &pane_;
    const auto choice = [&](const QString& text, std::int32_t depth) {
        QAction* action =
            menu.addAction(text, pane, [pane, depth] { pane->set_scan_depth(depth); });
        action->setCheckable(true);
        action->setChecked(depth == current);
        action->setActionGroup(choices);
    };
    if (folder) {
        choice(QMenu::tr("default"), Server::DefaultDepth);
        menu.addSeparator();
    }
    choice(folder ? QMenu::tr("no scan") : QMenu::tr("No Scan"), Server::NoScan);
    menu.addSeparator();
    for (std::int32_t depth = 1; depth <= 6; ++depth) choice(QString::number(depth), depth);
    choice(folder ? QMenu::tr("infinity") : QMenu::tr("Full Scan"), Server::FullScan);
}

void TreeMenus::add_auto_sync(QMenu& menu, bool disabled) const {
    menu.addSeparator();
    TreePane* pane = &pane_;
    QAction* action = menu.addAction(QMenu::tr("Disable Auto Synchronize"), pane,
                                     [pane] { pane->toggle_auto_sync(); });
    action->setCheckable(true);
    action->setChecked(disabled);
}

}  // namespace tovan
