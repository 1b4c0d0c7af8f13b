#include "app/gui/DesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include "engine/catalog/PasswordMask.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

DesktopServices::DesktopServices(QWidget* window) : QObject(window), window_(window) {}

bool DesktopServices::open(const std::string& location) {
    const QString text = QString::fromStdString(location);
    const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text);
    const bool opened = url.isValid() && QDesktopServices::openUrl(url);
    plain_log(1) << "open(" << masked_passwords(location)
                 << ") result = " << (opened ? "ok" : "no application could open it") << std::endl;
    return opened;
}

bool DesktopServices::copy_text(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        QMessageBox::warning(window_, tr("Ferrovane"), tr("Cannot open the Clipboard"));
        return false;
    }
    clipboard->setText(QString::fromStdString(text));
    return true;
}

}  // namespace tovan
