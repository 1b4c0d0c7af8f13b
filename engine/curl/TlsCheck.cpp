#include "engine/curl/TlsCheck.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <ctime>
#include <filesystem>

namespace tovan {
namespace {

int context_index() {
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

std::string name_text(const X509_NAME* name) {
    BIO* out = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(out, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long size = BIO_get_mem_data(out, &data);
    std::string text(data, static_cast<std::size_t>(size));
    BIO_free(out);
    return text;
}

std::string time_text(const ASN1_TIME* time) {
    std::tm parts{};
    if (ASN1_TIME_to_tm(time, &parts) != 1)
        return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
    return text;
}

Certificate certificate_of(X509* leaf) {
    Certificate certificate;
    certificate.subject = name_text(X509_get_subject_name(leaf));
    certificate.issuer = name_text(X509_get_issuer_name(leaf));
    certificate.not_before = time_text(X509_get0_notBefore(leaf));
    certificate.not_after = time_text(X509_get0_notAfter(leaf));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(leaf, EVP_sha256(), digest, &size) == 1)
        certificate.fingerprint = fingerprint_of_digest(digest, size);
    return certificate;
}

std::string reason_of(int error) {
    switch (error) {
        case X509_V_OK:
            // The chain was good; libcurl's own check of the name failed.
            return "wrong host name";
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return "self-signed";
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return "unknown issuer";
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return "expired";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return "not valid yet";
        case X509_V_ERR_HOSTNAME_MISMATCH:
            return "wrong host name";
        default:
            return X509_verify_cert_error_string(error);
    }
}

}  // namespace

TlsCheck::TlsCheck(TlsTrust trust) : trust_(std::move(trust)) {}

void TlsCheck::apply(CURL* handle) {
    if (!trust_.ca_file.empty()) {
        std::error_code error;
        const bool folder = std::filesystem::is_directory(trust_.ca_file, error);
        curl_easy_setopt(handle, folder ? CURLOPT_CAPATH : CURLOPT_CAINFO, trust_.ca_file.c_str());
    }
    // The fingerprint names the one certificate accepted, whatever host name it is for.
    if (!trust_.fingerprint.empty())
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &TlsCheck::set_up);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, this);
}

CURLcode TlsCheck::set_up(CURL*, void* context, void* self) {
    auto* check = static_cast<TlsCheck*>(self);
    {
        std::lock_guard guard(check->lock_);
        check->offered_ = {};
        check->error_ = X509_V_OK;
        check->changed_ = false;
    }
    auto* ssl_context = static_cast<SSL_CTX*>(context);
    SSL_CTX_set_ex_data(ssl_context, context_index(), check);
    SSL_CTX_set_verify(ssl_context, SSL_VERIFY_PEER, &TlsCheck::verify);
    return CURLE_OK;
}

// Called for each certificate of the chain, the leaf last.
int TlsCheck::verify(int ok, X509_STORE_CTX* store) {
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* check =
        ssl ? static_cast<TlsCheck*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), context_index()))
            : nullptr;
    X509* leaf = X509_STORE_CTX_get0_cert(store);
    if (check == nullptr || leaf == nullptr)
        return ok;
    check->note(leaf, ok ? X509_V_OK : X509_STORE_CTX_get_error(store));
    if (check->trust_.fingerprint.empty())
        return ok;
    std::lock_guard guard(check->lock_);
    if (check->offered_.fingerprint == check->trust_.fingerprint) {
        // libcurl reads the verification's result after the handshake; a later
        // failure (a refused login) is no failure of the certificate.
        X509_STORE_CTX_set_error(store, X509_V_OK);
        check->error_ = X509_V_OK;
        return 1;
    }
    check->changed_ = true;
    return 0;
}

void TlsCheck::note(X509* leaf, int error) {
    std::lock_guard guard(lock_);
    if (!offered_.known())
        offered_ = certificate_of(leaf);
    if (error_ == X509_V_OK)
        error_ = error;
}

bool TlsCheck::explain(CURLcode code, const char* curl_words, ReachFailure& failure) const {
    using Kind = ReachFailure::Kind;
    std::lock_guard guard(lock_);
    const bool refused_certificate =
        changed_ || error_ != X509_V_OK || code == CURLE_PEER_FAILED_VERIFICATION;
    if (code == CURLE_OK)
        return false;
    if (refused_certificate && offered_.known()) {
        failure.kind = changed_ ? Kind::CertificateChanged : Kind::CertificateUntrusted;
        failure.certificate = offered_;
        failure.untrusted_reason = reason_of(error_);
        failure.trusted_fingerprint = trust_.fingerprint;
    } else if (code == CURLE_SSL_CACERT_BADFILE) {
        failure.kind = Kind::Other;
        failure.detail =
            "the CA file " + trust_.ca_file + " can't be read: check the path given with --ca-file";
    } else if (code == CURLE_USE_SSL_FAILED) {
        failure.kind = Kind::TlsRefused;
    } else if (code == CURLE_SSL_CONNECT_ERROR || code == CURLE_SSL_CERTPROBLEM ||
               code == CURLE_SSL_CIPHER || code == CURLE_SSL_INVALIDCERTSTATUS ||
               refused_certificate) {
        failure.kind = Kind::TlsHandshake;
        failure.detail =
            curl_words != nullptr && *curl_words != '\0' ? curl_words : curl_easy_strerror(code);
    } else {
        return false;
    }
    return true;
}

}  // namespace tovan
