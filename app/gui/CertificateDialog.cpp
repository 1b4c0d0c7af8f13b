#include "app/gui/CertificateDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Document.h"
#include "app/gui/ServerProbe.h"
#include "engine/catalog/Server.h"
#include "engine/connection/Protocols.h"
#include "engine/curl/InternetSession.h"
#include "engine/tree/TreeEntry.h"

namespace tovan {

CertificateDialog::CertificateDialog(const QString& server, const ReachFailure& failure,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("certificate");
    setWindowTitle(tr("Trust this certificate?"));
    const Certificate& offered = failure.certificate;
    const QString why = failure.kind == ReachFailure::Kind::CertificateChanged
                            ? tr("The certificate of %1 has changed; the trusted one was %2.")
                                  .arg(server, QString::fromStdString(failure.trusted_fingerprint))
                            : tr("The certificate of %1 is not trusted (%2).")
                                  .arg(server, QString::fromStdString(failure.untrusted_reason));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(why, this));
    auto* details = new QLabel(
        tr("Subject: %1\nIssuer: %2\nValid: %3 to %4\nFingerprint: %5")
            .arg(QString::fromStdString(offered.subject), QString::fromStdString(offered.issuer),
                 QString::fromStdString(offered.not_before),
                 QString::fromStdString(offered.not_after),
                 QString::fromStdString(offered.fingerprint)),
        this);
    details->setObjectName("details");
    details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(details);
    layout->addWidget(
        new QLabel(tr("Check the fingerprint with the server's owner before you trust it."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* trust = buttons->addButton(tr("Trust"), QDialogButtonBox::AcceptRole);
    trust->setObjectName("trust");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool CertificateDialog::offer(QWidget* parent, Document& document, TreeEntry& node) {
    if (!node.server || node.server->kind() != ServerKind::Ftps ||
        node.server->last_error().find("certificate of") == std::string::npos)
        return false;
    ReachFailure failure;
    bool reached = false;
    // Held by the probe, should the server be removed meanwhile.
    const auto server = node.server;
    ServerProbe::run(
        parent, tr("Asking %1 for its certificate…").arg(QString::fromStdString(node.label())),
        [&] { reached = bool(Protocols::connect(*server, InternetSession::shared(), &failure)); });
    if (reached || !failure.is_certificate())
        return false;
    CertificateDialog dialog(QString::fromStdString(node.label()), failure, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TlsTrust trust = document.certificates().of(*node.server);
    trust.fingerprint = failure.certificate.fingerprint;
    document.certificates().set(*node.server, trust);
    document.certificates().save(document.data_folder(), *document.servers());
    return true;
}

}  // namespace tovan
