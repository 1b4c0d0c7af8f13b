#pragma once

#include <string>

namespace tovan {

// What a server's TLS certificate is checked against besides the system's
// authorities: a certificate the user trusted by its fingerprint, and
// authorities of the user's own. Kept in a file of its own, not in the server's record.
struct TlsTrust {
    std::string fingerprint;  // "SHA256:AB:...": this certificate alone is accepted
    std::string ca_file;      // a PEM file or a folder of them, instead of the system's

    bool operator==(const TlsTrust&) const = default;
};

}  // namespace tovan
