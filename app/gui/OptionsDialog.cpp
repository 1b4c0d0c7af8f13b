#include "app/gui/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/Options.h"

namespace tovan {

OptionsDialog::OptionsDialog(Options& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("options");
    setWindowTitle(tr("Options"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void OptionsDialog::accept() {
    QDialog::accept();
}

}  // namespace tovan
