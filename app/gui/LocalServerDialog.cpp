#include "app/gui/LocalServerDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/SystemPaths.h"
#include "app/gui/ShareBrowser.h"
#include "app/widgets/TextSize.h"
#include "engine/catalog/Location.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {

namespace {

bool ends_in_separator(const std::string& path) {
    return path.ends_with('/') || path.ends_with('\\');
}

}  // namespace

LocalServerDialog::LocalServerDialog(const Record& initial, QWidget* parent)
    : QDialog(parent), place_(initial.place) {
    const bool local = place_ == Place::Local;
    const bool is_new = initial.path.empty();
    setObjectName("serverPathDialog");
    setWindowTitle(local ? (is_new ? tr("Add Local Folder") : tr("Edit Local Folder"))
                         : (is_new ? tr("Add Network Server") : tr("Edit Network Server")));
    path_ = new QLineEdit(QString::fromStdString(initial.path), this);
    path_->setObjectName("path");
    path_->setPlaceholderText(local ? tr("/srv/media") : tr("smb://host/share"));
    name_ = new QLineEdit(QString::fromStdString(initial.name), this);
    name_->setObjectName("name");
    name_is_own_ = !initial.name.empty() && initial.name != masked_passwords(initial.path);
    auto* browse = new QPushButton(tr("B&rowse..."), this);
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    // Unwrapped: a label would break the examples at their slashes.
    auto* hint =
        new QLabel(local ? tr("A folder of this computer: /srv/media, ~/Videos")
                         : tr("A share or a folder in it: smb://nas/media, //nas/media/films"),
                   this);
    hint->setObjectName("hint");
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName("buttons");
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(path_, &QLineEdit::textChanged, this, &LocalServerDialog::path_edited);
    connect(name_, &QLineEdit::textEdited, this, &LocalServerDialog::name_edited);
    connect(name_, &QLineEdit::editingFinished, this, &LocalServerDialog::name_left);
    connect(browse, &QPushButton::clicked, this, &LocalServerDialog::browse);

    auto* path_label = new QLabel(tr("&Path:"), this);
    path_label->setBuddy(path_);
    auto* name_label = new QLabel(tr("Display &name:"), this);
    name_label->setBuddy(name_);
    auto* grid = new QGridLayout;
    grid->addWidget(path_label, 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(hint, 1, 1, 1, 2);
    grid->addWidget(name_label, 2, 0);
    grid->addWidget(name_, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons_);
    setTabOrder(path_, browse);
    setTabOrder(browse, name_);
    path_edited(path_->text());
    resize(sizeHint().expandedTo(text_size(*this, 72, 8)));
    path_->setFocus();
}

std::optional<LocalServerDialog::Record> LocalServerDialog::ask(QWidget* parent,
                                                                const Record& initial) {
    LocalServerDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.record();
}

LocalServerDialog::Record LocalServerDialog::record() const {
    std::string path = usable_path();
    if (!path.empty() && !ends_in_separator(path))
        path += '/';
    return {place_, path, name_->text().trimmed().toStdString()};
}

// The path as the server reads it; empty while it names no place of this kind.
std::string LocalServerDialog::usable_path() const {
    const std::string typed = path_->text().trimmed().toStdString();
    if (place_ == Place::Local) {
        const std::string path = SystemPaths::expand_home(typed);
        const auto place = Location::read(path);
        return path.starts_with('/') && place && place->kind == ServerKind::Local ? path : "";
    }
    const auto place = Location::read(typed);
    return place && place->kind == ServerKind::Network && !place->host.empty() ? typed : "";
}

void LocalServerDialog::path_edited(const QString& path) {
    if (!name_is_own_)
        name_->setText(QString::fromStdString(masked_passwords(path.trimmed().toStdString())));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!usable_path().empty());
}

// An emptied name follows the path again.
void LocalServerDialog::name_edited(const QString& name) {
    name_is_own_ =
        !name.isEmpty() &&
        name != QString::fromStdString(masked_passwords(path_->text().trimmed().toStdString()));
}

void LocalServerDialog::name_left() {
    if (!name_->text().trimmed().isEmpty())
        return;
    name_is_own_ = false;
    path_edited(path_->text());
}

void LocalServerDialog::browse() {
    QString chosen;
    if (place_ == Place::Local) {
        const std::string start = usable_path();
        chosen = QFileDialog::getExistingDirectory(
            this, tr("Select Folder"),
            QString::fromStdString(start.empty() ? SystemPaths::environment("HOME") : start));
    } else {
        const auto place = Location::read(path_->text().trimmed().toStdString());
        std::string host;
        if (place && place->kind == ServerKind::Network)
            host = place->host + (place->port != 0 ? ":" + std::to_string(place->port) : "");
        if (const std::optional<std::string> found = ShareBrowser::ask(this, host))
            chosen = QString::fromStdString(*found);
    }
    if (!chosen.isEmpty())
        path_->setText(chosen);
}

}  // namespace tovan
