#include "app/gui/AboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/gui/DesktopServices.h"
#include "app/gui/Icons.h"

namespace tovan {

namespace {

QLabel* link(const char* target, const QString& text, DesktopServices& desktop, QWidget* parent) {
    auto* label =
        new QLabel(QString("<a href=\"%1\">%2</a>").arg(target, text.toHtmlEscaped()), parent);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    QObject::connect(label, &QLabel::linkActivated, parent,
                     [&desktop](const QString& url) { desktop.open(url.toStdString()); });
    return label;
}

}  // namespace

AboutDialog::AboutDialog(DesktopServices& desktop, QWidget* parent) : QDialog(parent) {
    setObjectName("about");
    setWindowTitle(tr("About Ferrovane"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::application().pixmap(64, 64));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(
        new QLabel(tr("Ferrovane Version %1").arg(QApplication::applicationVersion()), this), 0,
        Qt::AlignHCenter);
    layout->addWidget(link(WebSite, tr("The Ferrovane web site"), desktop, this), 0,
                      Qt::AlignHCenter);
    layout->addWidget(link(Mail, tr("Write to the makers"), desktop, this), 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace tovan
