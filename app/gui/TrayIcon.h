#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// The notification-area icon that stands for the window while it is hidden:
// its tip lists the latest changes, its menu reopens the window, rescans and
// ends the program. The Rescan items name nodes by address only; the window
// looks each up again when chosen, so an item of a node removed meanwhile does
// nothing.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    // How many of the root group's children the Rescan submenu lists.
    static constexpr int MaxRescanItems = 10;

    // root: the group whose children the Rescan submenu lists, asked for anew
    // each time the menu opens.
    TrayIcon(std::function<SharedPtr<TreeEntry>()> root, QObject* parent = nullptr);

    // Whether the desktop shows tray icons at all: without one, a window hidden
    // to the tray could never be brought back.
    static bool available();

    void show();
    void hide();
    bool is_shown() const { return icon_.isVisible(); }
    void set_tip(const QString& tip, bool changes);
    QString tip() const { return icon_.toolTip(); }
    bool shows_changes() const { return changes_; }
    // A desktop notification, where the desktop shows them.
    void notify(const QString& title, const QString& text);

    QMenu* menu() { return &menu_; }
    QMenu* rescan_menu() { return rescan_; }

signals:
    void about_requested();
    void url_requested();
    void open_requested();
    void rescan_requested(const tovan::TreeEntry* node);
    void rescan_all_requested();
    void exit_requested();

private:
    void fill_rescan_menu();

    std::function<SharedPtr<TreeEntry>()> root_;
    QSystemTrayIcon icon_;
    QMenu menu_;
    QMenu* rescan_ = nullptr;
    bool changes_ = false;
};

}  // namespace tovan
