#include "app/widgets/OkCancelButtons.h"

#include <QDialog>
#include <QPushButton>

namespace tovan {

OkCancelButtons::OkCancelButtons(QDialog* dialog)
    : QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog) {
    setObjectName("buttons");
    ok()->setObjectName("ok");
    button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(this, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(this, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

}  // namespace tovan
