#include "app/gui/SelectFolderDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/DownloadFolders.h"
#include "app/Options.h"
#include "app/widgets/HistoryComboBox.h"
#include "app/widgets/Sentence.h"
#include "app/widgets/TextSize.h"

namespace tovan {

SelectFolderDialog::SelectFolderDialog(Options& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("selectFolderDialog");
    setWindowTitle(tr("Select Folder"));
    QStringList recent;
    for (const std::string& folder : options.download_folders)
        recent << QString::fromStdString(folder);
    folders_ = new HistoryComboBox(recent, QString::fromStdString(options.download_folder), this);
    folders_->setObjectName("folder");
    folders_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    folders_->setMinimumContentsLength(40);
    auto* label = new QLabel(tr("&Select folder:"), this);
    label->setBuddy(folders_);
    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    problem_ = new QLabel(this);
    problem_->setObjectName("problem");
    problem_->setWordWrap(true);
    problem_->setStyleSheet("color: #c00000");
    // Room for the reason kept from the start, so the dialog need not grow.
    problem_->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    problem_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName("buttons");
    connect(buttons_, &QDialogButtonBox::accepted, this, &SelectFolderDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &SelectFolderDialog::browse);
    const auto update_ok = [this](const QString& text) {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
        problem_->clear();
    };
    connect(folders_, &QComboBox::editTextChanged, this, update_ok);
    update_ok(folders_->currentText());

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(folders_, 1, 0);
    grid->addWidget(browse, 1, 1);
    grid->addWidget(problem_, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(buttons_);
    setTabOrder(folders_, browse);
    resize(sizeHint().expandedTo(text_size(*this, 70, 6)));
    folders_->setFocus();
    folders_->lineEdit()->selectAll();
}

std::optional<std::string> SelectFolderDialog::ask(QWidget* parent, Options& options) {
    SelectFolderDialog dialog(options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.folder();
}

void SelectFolderDialog::accept() {
    const DownloadFolders::Prepared prepared =
        DownloadFolders::prepare(folders_->currentText().trimmed().toStdString());
    if (!prepared.problem.empty()) {
        problem_->setText(
            tr("%1. Type or pick another folder.").arg(as_sentence(prepared.problem)));
        folders_->setFocus();
        return;
    }
    folder_ = prepared.folder;
    DownloadFolders::choose(options_, folder_);
    QDialog::accept();
}

void SelectFolderDialog::browse() {
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Select Target Folder"),
                                                             folders_->currentText().trimmed());
    if (chosen.isEmpty())
        return;
    folders_->setEditText(chosen);
    accept();
}

}  // namespace tovan
