#include "engine/connection/ReachFailure.h"

#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

// The lower layer's words stay in the server's log: the kind already says what
// the user needs to know, and the line stays short.
std::string ReachFailure::text() const {
    const std::string& who = host.empty() ? place : host;
    switch (kind) {
        case Kind::LoginRefused:
            return "the login to " + place +
                   " was refused: check the user name and password (to change them, remove "
                   "the server and add it again)";
        case Kind::AccessDenied:
            return place + " may not be read: check its permissions for this user";
        case Kind::Missing:
            return place + " was not found: " +
                   (host.empty() ? "check the path, or that its disk is mounted"
                                 : "check the path on the server");
        case Kind::NoAnswer:
            return who +
                   " does not answer: check that it is switched on and reachable from "
                   "this machine";
        case Kind::ConnectionRefused:
            return place +
                   " refused the connection: check that its server runs and that "
                   "the port is right";
        case Kind::UnknownName:
            return "the host name " + who +
                   " does not resolve: check its spelling and the network's name service";
        case Kind::CertificateUntrusted:
            return "the certificate of " + who + " is not trusted (" + untrusted_reason +
                   "): " + certificate.text() +
                   "; check the fingerprint with the server's owner, then trust it: "
                   "ferrovane-cli trust SERVER " +
                   certificate.fingerprint;
        case Kind::CertificateChanged:
            return "the certificate of " + who + " has changed: it is now " + certificate.text() +
                   ", the trusted one was " + trusted_fingerprint +
                   "; ask the server's owner whether it was replaced, then trust the new one: "
                   "ferrovane-cli trust SERVER " +
                   certificate.fingerprint;
        case Kind::TlsRefused:
            return place +
                   " refused TLS: check that the server offers FTPS (explicit, AUTH "
                   "TLS), or use ftp:// if it has none";
        case Kind::TlsHandshake:
            return "the TLS handshake with " + who + " failed" +
                   (detail.empty() ? std::string() : " (" + detail + ")") +
                   ": check the port and that the server speaks TLS there";
        case Kind::HostKeyUnknown:
            return "the host key of " + who + " (" + offered_key +
                   ") is not known yet: check it with the server's administrator, then accept "
                   "it: ferrovane-cli trust SERVER " +
                   offered_key;
        case Kind::HostKeyChanged:
            return "the host key of " + who + " changed: it was " +
                   (known_key.empty() ? std::string("of another type") : known_key) +
                   ", it is now " + offered_key + "; " + detail;
        case Kind::None:
        case Kind::Other:
            break;
    }
    return place + ": " + (detail.empty() ? std::string("can't be reached") : detail);
}

std::string ReachFailure::place_of(const Server& server, const Entry* entry) {
    // A share as smb://, which the user can paste; a local folder as its path.
    std::string url = masked_passwords(
        server.kind() == ServerKind::Network ? server.url_with_scheme(entry) : server.url(entry));
    const std::string masked = ":" + std::string(MaskedPassword) + "@";
    if (const std::size_t at = url.find(masked); at != std::string::npos)
        url.replace(at, masked.size(), "@");
    return url;
}

}  // namespace tovan
