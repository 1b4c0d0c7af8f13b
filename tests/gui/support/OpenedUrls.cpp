#include "gui/support/OpenedUrls.h"

#include <QDesktopServices>

namespace tovan::test {

OpenedUrls::OpenedUrls(QStringList schemes) : schemes_(std::move(schemes)) {
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "open");
}

OpenedUrls::~OpenedUrls() {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
}

}  // namespace tovan::test
