#pragma once

#include <QDialogButtonBox>

class QDialog;
class QPushButton;

namespace tovan {

// A dialog's OK and Cancel, named "ok" and "cancel", wired to accept and
// reject it; Enter presses OK and Escape Cancel.
class OkCancelButtons : public QDialogButtonBox {
    Q_OBJECT

public:
    explicit OkCancelButtons(QDialog* dialog);

    QPushButton* ok() const { return button(QDialogButtonBox::Ok); }
};

}  // namespace tovan
