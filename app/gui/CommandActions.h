#pragma once

#include <QAction>
#include <QObject>
#include <map>

#include "app/gui/Command.h"

namespace tovan {

// One QAction per command, with its text, keys, tips and icon; the menus, the
// toolbar and the tray show these same actions, so a command is enabled or
// checked in one place.
class CommandActions : public QObject {
    Q_OBJECT

public:
    explicit CommandActions(QWidget* window);

    QAction* operator[](Command command) const { return actions_.at(command); }
    const std::map<Command, QAction*>& all() const { return actions_; }

signals:
    void triggered(tovan::Command command);

private:
    std::map<Command, QAction*> actions_;
};

}  // namespace tovan
