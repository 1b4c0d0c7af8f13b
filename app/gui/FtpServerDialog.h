#pragma once

#include <QDialog>
#include <optional>

#include "app/FtpServerForm.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tovan {

class ProblemLabel;

// The settings of an FTP server: filled from a form, handed back only on OK.
// SFTP servers are kept with the same settings, chosen by a box of their own.
// The host field also takes a whole ftp://, ftps:// or sftp:// URL and spreads it over
// the other fields when it loses the focus; the display name follows the host
// until it is edited.
class FtpServerDialog : public QDialog {
    Q_OBJECT

public:
    // The settings on OK, empty on Cancel; existing fills the fields, none
    // gives a new server's.
    static std::optional<FtpServerForm> ask(QWidget* parent, const TreeEntry* existing = nullptr);

    explicit FtpServerDialog(const FtpServerForm& form, QWidget* parent = nullptr);

    const FtpServerForm& form() const { return form_; }
    void accept() override;

private:
    QLineEdit* add_field(const char* name, const QString& label, const std::string& text);
    QLineEdit* add_number(const char* name, std::uint32_t value);
    QLayout* connection_boxes();
    void host_edited(const QString& text);
    void take_host_apart();
    void ssh_toggled(bool ssh);
    bool number_in_range(QLineEdit* field, FtpServerForm::Range range, std::uint32_t& out);

    FtpServerForm form_;
    QFormLayout* fields_ = nullptr;
    QLineEdit* host_ = nullptr;
    ProblemLabel* host_problem_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* login_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* port_ = nullptr;
    QCheckBox* passive_ = nullptr;
    QCheckBox* secure_ = nullptr;
    QCheckBox* ssh_ = nullptr;
    QRadioButton* automatic_ = nullptr;
    QRadioButton* manual_ = nullptr;
    QLineEdit* connections_ = nullptr;
    QLineEdit* delay_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool name_follows_host_ = true;
};

}  // namespace tovan
