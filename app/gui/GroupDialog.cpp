#include "app/gui/GroupDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/TextSize.h"

namespace tovan {

GroupDialog::GroupDialog(const std::string& name, QWidget* parent) : QDialog(parent) {
    setObjectName("groupDialog");
    setWindowTitle(name.empty() ? tr("New Group") : tr("Rename Group"));
    name_ = new QLineEdit(QString::fromStdString(name), this);
    name_->setObjectName("name");
    name_->selectAll();
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName("buttons");
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update_ok = [this] {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(!name_->text().trimmed().isEmpty());
    };
    connect(name_, &QLineEdit::textChanged, this, update_ok);
    update_ok();

    auto* form = new QFormLayout;
    form->addRow(tr("&Name:"), name_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons_);
    resize(sizeHint().expandedTo(text_size(*this, 50, 5)));
    name_->setFocus();
}

std::optional<std::string> GroupDialog::ask(QWidget* parent, const std::string& name) {
    GroupDialog dialog(name, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.name();
}

std::string GroupDialog::name() const {
    return name_->text().trimmed().toStdString();
}

}  // namespace tovan
