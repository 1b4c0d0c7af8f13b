#pragma once

class QMainWindow;
class QMenu;

namespace tovan {

class CommandActions;

// The main window's menu bar and toolbar: the commands' actions grouped the
// way users look for them. Back and Forward get the drop-downs the window
// fills as they open.
class WindowBars {
public:
    static void build_toolbar(QMainWindow& window, const CommandActions& actions, QMenu* back,
                              QMenu* forward);
    static void build_menus(QMainWindow& window, const CommandActions& actions);
};

}  // namespace tovan
