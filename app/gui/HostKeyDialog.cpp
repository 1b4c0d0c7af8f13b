#include "app/gui/HostKeyDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/gui/ServerProbe.h"
#include "app/widgets/Sentence.h"
#include "engine/catalog/Server.h"
#include "engine/sftp/SftpHostKeys.h"

namespace tovan {

bool HostKeyDialog::confirm(QWidget* parent, const Server& server) {
    if (server.kind() != ServerKind::Sftp)
        return true;
    ReachFailure failure;
    std::string offered;
    ServerProbe::run(
        parent,
        QObject::tr("Asking %1 for its host key…").arg(QString::fromStdString(server.ftp().host)),
        [&] { offered = SftpHostKeys::unknown_fingerprint(server, failure); });
    const QString title = QObject::tr("Host Key");
    if (failure.kind == ReachFailure::Kind::HostKeyChanged) {
        QMessageBox::critical(parent, title, as_sentence(failure.text()));
        return false;
    }
    if (offered.empty())
        return true;
    QMessageBox question(
        QMessageBox::Question, title,
        QObject::tr("The host key of %1 is not known yet:\n\n%2\n\nCheck this "
                    "fingerprint with the server's administrator before you "
                    "accept it.")
            .arg(QString::fromStdString(server.ftp().host), QString::fromStdString(offered)),
        QMessageBox::Cancel, parent);
    question.setObjectName("hostKey");
    QPushButton* accept = question.addButton(QObject::tr("&Accept"), QMessageBox::AcceptRole);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    if (question.clickedButton() != accept)
        return false;
    try {
        bool trusted = false;
        ServerProbe::run(parent, QObject::tr("Storing the host key…"),
                         [&] { trusted = SftpHostKeys::trust(server, offered, failure); });
        if (trusted)
            return true;
        QMessageBox::critical(parent, title, as_sentence(failure.text()));
    } catch (const std::exception& error) {
        QMessageBox::critical(parent, title, as_sentence(QString::fromUtf8(error.what())));
    }
    return false;
}

}  // namespace tovan
