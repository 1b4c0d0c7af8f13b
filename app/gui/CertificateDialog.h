#pragma once

#include <QDialog>

#include "engine/connection/ReachFailure.h"

namespace tovan {

class Document;
struct TreeEntry;

// Shows the certificate a server offers and the checks refused, with Trust and
// Cancel: trusting it keeps its fingerprint for that server.
class CertificateDialog : public QDialog {
    Q_OBJECT

public:
    CertificateDialog(const QString& server, const ReachFailure& failure,
                      QWidget* parent = nullptr);

    // For a server whose last scan failed on its certificate: asks the server
    // again which one it offers and the user whether to trust it; true when
    // the user trusted it (then kept in the data folder).
    static bool offer(QWidget* parent, Document& document, TreeEntry& node);
};

}  // namespace tovan
