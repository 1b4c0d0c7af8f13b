#include "app/gui/TrayIcon.h"

#include "app/gui/Icons.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {

TrayIcon::TrayIcon(std::function<SharedPtr<TreeEntry>()> root, QObject* parent)
    : QObject(parent), root_(std::move(root)) {
    icon_.setIcon(Icons::application());
    menu_.addAction(tr("Ferrovane..."), this, &TrayIcon::about_requested);
    menu_.addSeparator();
    menu_.addAction(tr("Enter New URL to Download..."), this, &TrayIcon::url_requested);
    menu_.addSeparator();
    menu_.addAction(tr("&Open"), this, &TrayIcon::open_requested);
    rescan_ = menu_.addMenu(tr("&Rescan"));
    rescan_->setObjectName("rescan");
    menu_.addAction(tr("&Exit"), this, &TrayIcon::exit_requested);
    connect(rescan_, &QMenu::aboutToShow, this, &TrayIcon::fill_rescan_menu);
    fill_rescan_menu();
    icon_.setContextMenu(&menu_);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::DoubleClick || why == QSystemTrayIcon::Trigger)
                    emit open_requested();
            });
}

bool TrayIcon::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show() {
    icon_.show();
}

void TrayIcon::hide() {
    icon_.hide();
}

void TrayIcon::set_tip(const QString& tip, bool changes) {
    icon_.setToolTip(tip);
    if (changes != changes_)
        icon_.setIcon(changes ? Icons::application_with_changes() : Icons::application());
    changes_ = changes;
}

void TrayIcon::notify(const QString& title, const QString& text) {
    if (icon_.supportsMessages())
        icon_.showMessage(title, text, icon_.icon());
}

void TrayIcon::fill_rescan_menu() {
    rescan_->clear();
    const SharedPtr<TreeEntry> root = root_();
    int listed = 0;
    for (const SharedPtr<TreeEntry>& child : root ? root->children : decltype(root->children){}) {
        if (listed++ == MaxRescanItems)
            break;
        const TreeEntry* node = child.get();
        rescan_->addAction(QString::fromStdString(masked_passwords(child->label())), this,
                           [this, node] { emit rescan_requested(node); });
    }
    rescan_->addSeparator();
    rescan_->addAction(tr("&Rescan All"), this, &TrayIcon::rescan_all_requested);
}

}  // namespace tovan
