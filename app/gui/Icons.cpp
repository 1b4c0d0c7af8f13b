#include "app/gui/Icons.h"

#include <QFile>

namespace tovan {

QIcon Icons::get(const char* name, const char* theme_name) {
    const QString own = QString(":/icons/%1.svg").arg(name);
    const QIcon fallback = QFile::exists(own) ? QIcon(own) : QIcon();
    if (*theme_name == '\0')
        return fallback;
    return QIcon::fromTheme(theme_name, fallback);
}

QIcon Icons::application() {
    return get("ferrovane");
}

QIcon Icons::application_with_changes() {
    return get("ferrovane-changes");
}

}  // namespace tovan
