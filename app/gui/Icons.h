#pragma once

#include <QIcon>

namespace tovan {

// The program's icons: the desktop theme's where it has a fitting one, else our
// own drawings, which are always there (offscreen and on bare X there is no
// theme at all).
class Icons {
public:
    // name: one of our drawings in :/icons, without ".svg"; theme_name: the
    // freedesktop icon to prefer, empty for none.
    static QIcon get(const char* name, const char* theme_name = "");
    static QIcon application();
    // The tray icon while changes wait to be seen.
    static QIcon application_with_changes();
};

}  // namespace tovan
