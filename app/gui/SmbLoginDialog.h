#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "engine/smb/SmbCredentials.h"

class QLineEdit;

namespace tovan {

// The login a network host asks for: domain (may stay empty), user and
// password.
class SmbLoginDialog : public QDialog {
    Q_OBJECT

public:
    // place: what the host refused, as shown to the user.
    SmbLoginDialog(const std::string& host, const std::string& place, QWidget* parent = nullptr);

    // The login typed on OK; nothing on Cancel.
    static std::optional<SmbCredentials::Login> ask(QWidget* parent, const std::string& host,
                                                    const std::string& place);

    SmbCredentials::Login login() const;

private:
    QLineEdit* domain_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
};

}  // namespace tovan
