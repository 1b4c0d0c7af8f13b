#pragma once

class QWidget;

namespace tovan {

class Server;

// Asks the user about an SFTP server's host key before the server is kept:
// an unknown key is shown by its fingerprint and stored only when accepted; a
// changed one is refused with both fingerprints. Scans can't ask, so this is
// the desktop program's one place to accept a key.
class HostKeyDialog {
public:
    // False when the user cancelled or the key changed; true otherwise, also
    // for a server that can't be reached now (its scan then says why).
    static bool confirm(QWidget* parent, const Server& server);
};

}  // namespace tovan
