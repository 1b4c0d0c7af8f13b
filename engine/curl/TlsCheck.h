#pragma once

#include <curl/curl.h>
#include <openssl/types.h>

#include <mutex>

#include "engine/catalog/TlsTrust.h"
#include "engine/connection/Certificate.h"
#include "engine/connection/ReachFailure.h"

namespace tovan {

// Checks the certificates of one easy handle's TLS connections inside the
// handshake, before a login or a request is sent: by the system's authorities
// (or the user's CA file), or, for a certificate the user trusted, by its
// fingerprint alone. Notes the certificate offered, so a failure can show it.
// It must outlive the handle's transfers.
class TlsCheck {
public:
    explicit TlsCheck(TlsTrust trust);
    TlsCheck(const TlsCheck&) = delete;
    TlsCheck& operator=(const TlsCheck&) = delete;

    void apply(CURL* handle);
    // Names a failed transfer's TLS failure in failure; false when it was none.
    bool explain(CURLcode code, const char* curl_words, ReachFailure& failure) const;

private:
    static CURLcode set_up(CURL*, void* context, void* self);
    static int verify(int ok, X509_STORE_CTX* store);
    void note(X509* leaf, int error);

    TlsTrust trust_;
    mutable std::mutex lock_;  // the handshake may run on another thread than explain
    Certificate offered_;
    int error_ = 0;  // the first failure of the chain's verification
    bool changed_ = false;
};

}  // namespace tovan
