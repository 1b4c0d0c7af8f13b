#include "app/gui/ShareBrowser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>

#include "app/gui/Icons.h"
#include "app/gui/SmbLoginDialog.h"
#include "app/widgets/EnterKey.h"
#include "app/widgets/HistoryComboBox.h"
#include "app/widgets/Sentence.h"
#include "app/widgets/TextSize.h"
#include "engine/catalog/UrlEscapes.h"
#include "engine/smb/SmbCredentials.h"
#include "engine/smb/SmbErrorText.h"

namespace tovan {

namespace {

constexpr int NameRole = Qt::UserRole;
constexpr int ListedRole = Qt::UserRole + 1;

// The hosts listed in this run, newest first, offered to the next browse.
QStringList& recent_hosts() {
    static QStringList hosts;
    return hosts;
}

bool is_refusal(int error) {
    return error == EACCES || error == EPERM;
}

}  // namespace

ShareBrowser::ShareBrowser(const std::string& host, QWidget* parent) : QDialog(parent) {
    setObjectName("shareBrowser");
    setWindowTitle(tr("Select Network Folder"));
    host_ = new HistoryComboBox(recent_hosts(), QString::fromStdString(host), this);
    host_->setObjectName("host");
    host_->lineEdit()->setPlaceholderText(tr("host name or address"));
    // Enter in the host field lists its shares rather than closing the dialog.
    new EnterKey(host_->lineEdit(), [this] {
        list_shares();
        return true;
    });
    auto* host_label = new QLabel(tr("&Host:"), this);
    host_label->setBuddy(host_);
    list_ = new QPushButton(tr("&List Shares"), this);
    list_->setObjectName("list");
    list_->setAutoDefault(false);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("folders");
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    auto* tree_label = new QLabel(tr("&Shares and folders:"), this);
    tree_label->setBuddy(tree_);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName("buttons");
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QPushButton::clicked, this, &ShareBrowser::list_shares);
    connect(tree_, &QTreeWidget::itemExpanded, this, &ShareBrowser::expanded);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(item != nullptr);
    });
    connect(&poll_, &QTimer::timeout, this, &ShareBrowser::poll);

    auto* grid = new QGridLayout;
    grid->addWidget(host_label, 0, 0);
    grid->addWidget(host_, 0, 1);
    grid->addWidget(list_, 0, 2);
    grid->addWidget(tree_label, 1, 0, 1, 3);
    grid->addWidget(tree_, 2, 0, 1, 3);
    grid->addWidget(status_, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons_);
    setTabOrder(host_, list_);
    setTabOrder(list_, tree_);
    resize(sizeHint().expandedTo(text_size(*this, 60, 24)));
    host_->setFocus();
    if (!host.empty())
        list_shares();
}

ShareBrowser::~ShareBrowser() = default;

std::optional<std::string> ShareBrowser::ask(QWidget* parent, const std::string& host) {
    ShareBrowser dialog(host, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().empty())
        return std::nullopt;
    return dialog.chosen();
}

std::string ShareBrowser::chosen() const {
    const QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr || host_listed_.empty())
        return {};
    return "smb://" + host_listed_ + percent_encoded(path_of(item), "/") + "/";
}

// "smb://nas/media", "//nas" or "\\nas\media" name the host "nas" too.
void ShareBrowser::list_shares() {
    QString typed = host_->currentText().trimmed();
    if (typed.startsWith("smb://", Qt::CaseInsensitive))
        typed.remove(0, 6);
    typed = typed.section(QRegularExpression("[/\\\\]+"), 0, 0, QString::SectionSkipEmpty);
    const std::string host = typed.toStdString();
    if (host.empty() || listing_)
        return;
    tree_->clear();
    host_listed_ = host;
    start(nullptr);
}

void ShareBrowser::expanded(QTreeWidgetItem* item) {
    if (!item->data(0, ListedRole).toBool() && !listing_ && !host_listed_.empty())
        start(item);
}

void ShareBrowser::start(QTreeWidgetItem* item) {
    listing_item_ = item;
    const std::string path = item != nullptr ? path_of(item) : std::string();
    status_->setText(
        item != nullptr
            ? tr("Listing %1 on %2...")
                  .arg(QString::fromStdString(path), QString::fromStdString(host_listed_))
            : tr("Listing the shares of %1...").arg(QString::fromStdString(host_listed_)));
    listing_ = std::make_unique<NetworkListing>(host_listed_, path);
    set_busy(true);
    poll_.start(PollMs);
}

void ShareBrowser::poll() {
    if (!listing_)
        return;
    const std::optional<NetworkListing::Result> result = listing_->take();
    if (!result)
        return;
    poll_.stop();
    listing_.reset();
    set_busy(false);
    show_result(*result);
}

void ShareBrowser::show_result(const NetworkListing::Result& result) {
    QTreeWidgetItem* item = listing_item_;
    const QString host = QString::fromStdString(host_listed_);
    const QString place =
        item != nullptr ? QString::fromStdString(path_of(item)) : tr("the list of shares");
    if (result.error != 0) {
        if (is_refusal(result.error) && log_on(place)) {
            start(item);
            return;
        }
        const QString why = as_sentence(smb_error_text(result.error));
        status_->setText(tr("%1 on %2 could not be listed: %3 Check the host name, that it is "
                            "online and that you may read there.")
                             .arg(place, host, why));
        if (item != nullptr)
            item->setExpanded(false);
        return;
    }
    for (const std::string& name : result.folders) add_folder(item, name);
    if (item != nullptr) {
        item->setData(0, ListedRole, true);
        if (result.folders.empty())
            item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    } else {
        recent_hosts().removeAll(host);
        recent_hosts().prepend(host);
        if (tree_->topLevelItemCount() > 0)
            tree_->setCurrentItem(tree_->topLevelItem(0));
    }
    status_->setText(result.folders.empty() ? tr("No folders here.") : QString());
}

bool ShareBrowser::log_on(const QString& place) {
    const std::optional<SmbCredentials::Login> login =
        SmbLoginDialog::ask(this, host_listed_, place.toStdString());
    if (!login)
        return false;
    SmbCredentials::remember(host_listed_, *login);
    return true;
}

void ShareBrowser::set_busy(bool busy) {
    for (QWidget* each : std::initializer_list<QWidget*>{host_, list_, tree_})
        each->setEnabled(!busy);
    if (!busy)
        (tree_->topLevelItemCount() > 0 ? static_cast<QWidget*>(tree_) : host_)->setFocus();
}

std::string ShareBrowser::path_of(const QTreeWidgetItem* item) const {
    std::string path;
    for (; item != nullptr; item = item->parent())
        path = "/" + item->data(0, NameRole).toString().toStdString() + path;
    return path;
}

QTreeWidgetItem* ShareBrowser::add_folder(QTreeWidgetItem* parent, const std::string& name) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, QString::fromStdString(name));
    item->setData(0, NameRole, QString::fromStdString(name));
    item->setIcon(0, Icons::get("folder", "folder"));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

}  // namespace tovan
