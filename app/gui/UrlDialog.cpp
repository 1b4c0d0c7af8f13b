#include "app/gui/UrlDialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ClipboardUrl.h"
#include "app/UrlDownload.h"
#include "app/UrlHistory.h"
#include "app/widgets/OkCancelButtons.h"
#include "app/widgets/ProblemLabel.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {

namespace {

QString shown(const std::string& url) {
    return QString::fromStdString(masked_passwords(url));
}

// Browsers write text/x-moz-url in UTF-16, others in UTF-8.
std::string moz_url_text(const QByteArray& bytes) {
    if (bytes.size() % 2 != 0 || !bytes.contains('\0'))
        return bytes.toStdString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2)
        .toStdString();
}

}  // namespace

std::optional<std::string> UrlDialog::ask(QWidget* parent, std::vector<std::string>& history) {
    UrlDialog dialog(history, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::string url = dialog.url();
    UrlHistory::add(history, url);
    return url;
}

UrlDialog::UrlDialog(const std::vector<std::string>& history, QWidget* parent)
    : QDialog(parent), history_(UrlHistory::newest_first(history)) {
    setObjectName("urlToDownload");
    setWindowTitle(tr("URL to Download"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Enter the URL of a file for Ferrovane to download:"), this);
    layout->addWidget(label);
    combo_ = new QComboBox(this);
    combo_->setObjectName("url");
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    // Completion would fill in a masked password the user cannot see.
    combo_->setCompleter(nullptr);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(60);
    for (const std::string& url : history_) combo_->addItem(shown(url));
    combo_->setCurrentIndex(-1);
    label->setBuddy(combo_);
    layout->addWidget(combo_);
    problem_ = new ProblemLabel(this);
    problem_->setObjectName("problem");
    layout->addWidget(problem_);

    auto* buttons = new OkCancelButtons(this);
    ok_ = buttons->ok();
    layout->addWidget(buttons);

    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            origin_ = history_[static_cast<std::size_t>(index)];
    });
    connect(combo_, &QComboBox::editTextChanged, this, &UrlDialog::text_changed);
    fill_from_clipboard();
    text_changed();
    combo_->setFocus();
}

void UrlDialog::fill_from_clipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr)
        return;
    ClipboardUrl::Offer offer;
    offer.uri_list = data->data("text/uri-list").toStdString();
    offer.moz_url = moz_url_text(data->data("text/x-moz-url"));
    offer.plain = data->text().toStdString();
    const std::string url = ClipboardUrl::choose(offer);
    if (url.empty())
        return;
    origin_ = url;
    combo_->setEditText(shown(url));
    combo_->lineEdit()->selectAll();
}

std::string UrlDialog::url() const {
    return UrlHistory::unmasked(combo_->currentText().trimmed().toStdString(), origin_);
}

// OK waits for a URL that names a file; the line below says what is missing.
void UrlDialog::text_changed() {
    std::string problem;
    const bool usable = UrlDownload::file_name_of(url(), &problem).has_value();
    ok_->setEnabled(usable);
    const bool typed = !combo_->currentText().trimmed().isEmpty();
    problem_->set_problem(usable || !typed ? QString() : QString::fromStdString(problem));
}

}  // namespace tovan
