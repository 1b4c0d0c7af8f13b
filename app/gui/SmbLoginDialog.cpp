#include "app/gui/SmbLoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/TextSize.h"

namespace tovan {

SmbLoginDialog::SmbLoginDialog(const std::string& host, const std::string& place, QWidget* parent)
    : QDialog(parent) {
    setObjectName("smbLoginDialog");
    setWindowTitle(tr("Log On to %1").arg(QString::fromStdString(host)));
    const SmbCredentials::Login kept = SmbCredentials::find(host).value_or(SmbCredentials::Login{});
    domain_ = new QLineEdit(QString::fromStdString(kept.domain), this);
    domain_->setObjectName("domain");
    domain_->setPlaceholderText(tr("optional"));
    user_ = new QLineEdit(QString::fromStdString(kept.user), this);
    user_->setObjectName("user");
    password_ = new QLineEdit(this);
    password_->setObjectName("password");
    password_->setEchoMode(QLineEdit::Password);
    auto* text = new QLabel(tr("%1 refused access to %2. Log on with a user it knows; the login "
                               "is kept for this host.")
                                .arg(QString::fromStdString(host), QString::fromStdString(place)),
                            this);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update_ok = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!user_->text().isEmpty());
    };
    connect(user_, &QLineEdit::textChanged, this, update_ok);
    update_ok();

    auto* form = new QFormLayout;
    form->addRow(tr("&User:"), user_);
    form->addRow(tr("Pass&word:"), password_);
    form->addRow(tr("Do&main:"), domain_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(text_size(*this, 50, 10)));
    (kept.user.empty() ? user_ : password_)->setFocus();
}

std::optional<SmbCredentials::Login> SmbLoginDialog::ask(QWidget* parent, const std::string& host,
                                                         const std::string& place) {
    SmbLoginDialog dialog(host, place, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.login();
}

SmbCredentials::Login SmbLoginDialog::login() const {
    return {domain_->text().trimmed().toStdString(), user_->text().trimmed().toStdString(),
            password_->text().toStdString()};
}

}  // namespace tovan
