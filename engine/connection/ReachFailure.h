#pragma once

#include <string>

#include "engine/connection/Certificate.h"

namespace tovan {

class Server;
class Entry;

// Why a server, or a folder of it, could not be reached. Each protocol folds its
// own error codes into these few kinds, because each asks something else of the
// user: a password, a path, the network, the host's name.
struct ReachFailure {
    enum class Kind {
        None,                  // nothing is known of why
        LoginRefused,          // the server turned the user name or password down
        AccessDenied,          // a local folder this user may not read
        Missing,               // the host answers, the share or folder is not there
        NoAnswer,              // the host does not answer (timeout, unreachable)
        ConnectionRefused,     // the host answers, but nothing listens on the port
        UnknownName,           // the host name does not resolve
        CertificateUntrusted,  // no authority vouches for it, or it is expired or for another host
        CertificateChanged,    // not the certificate the user trusted
        TlsRefused,            // the server does not take TLS
        TlsHandshake,          // the TLS handshake failed otherwise
        HostKeyUnknown,        // an SSH host whose key the user has not accepted yet
        HostKeyChanged,        // an SSH host whose key is not the one accepted before
        Other,
    };

    ReachFailure() = default;
    explicit ReachFailure(Kind kind, std::string place = {}, std::string host = {},
                          std::string detail = {})
        : kind(kind), place(std::move(place)), host(std::move(host)), detail(std::move(detail)) {}

    Kind kind = Kind::None;
    std::string place;   // what failed, as the user knows it, never with a password
    std::string host;    // the host it is on; empty for a local folder
    std::string detail;  // the lower layer's own words, shown only for Other and HostKeyChanged
    // For the certificate kinds: the one the server offered, why it is not
    // trusted ("self-signed", ...), and the fingerprint trusted instead.
    Certificate certificate;
    std::string untrusted_reason;
    std::string trusted_fingerprint;
    std::string offered_key;  // an SSH host key's fingerprint as the host offers it
    std::string known_key;    // and as it was accepted before

    // The one line the user reads in `status`, `sync` and the logs: what failed
    // and what to do.
    std::string text() const;
    bool is_certificate() const {
        return kind == Kind::CertificateUntrusted || kind == Kind::CertificateChanged;
    }

    // The server's location (or one of its entries') as the messages show it:
    // a URL with its login but without its password.
    static std::string place_of(const Server& server, const Entry* entry = nullptr);
};

}  // namespace tovan
