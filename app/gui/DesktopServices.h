#pragma once

#include <QObject>
#include <string>

namespace tovan {

// What the desktop does for the program: opening files, folders and URLs with
// the user's default applications, and the clipboard. Opening is handed to the
// desktop at once and never waits; the outcome goes to the log.
class DesktopServices : public QObject {
    Q_OBJECT

public:
    explicit DesktopServices(QWidget* window);

    // A local path or a URL. False (logged) when no application takes it.
    bool open(const std::string& location);
    // Places the text on the clipboard; says so in a message box when it cannot.
    bool copy_text(const std::string& text);

private:
    QWidget* window_;
};

}  // namespace tovan
