#include "engine/curl/CurlFailure.h"

#include <cerrno>

namespace tovan {

ReachFailure::Kind curl_failure_kind(CURLcode code, long reply, long os_error) {
    using Kind = ReachFailure::Kind;
    // An FTP server refuses the login with 530, whichever code libcurl turns it into.
    if (code == CURLE_LOGIN_DENIED || reply == 530 || reply == 401)
        return Kind::LoginRefused;
    // 421: the server is there but takes no more connections now.
    if (reply == 421)
        return Kind::Other;
    switch (code) {
        case CURLE_OK:
            return Kind::None;
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return Kind::Missing;
        case CURLE_COULDNT_RESOLVE_HOST:
            return Kind::UnknownName;
        case CURLE_COULDNT_CONNECT:
            return os_error == ECONNREFUSED ? Kind::ConnectionRefused : Kind::NoAnswer;
        case CURLE_OPERATION_TIMEDOUT:
            return Kind::NoAnswer;
        case CURLE_PEER_FAILED_VERIFICATION:
            return Kind::CertificateUntrusted;
        case CURLE_USE_SSL_FAILED:
            return Kind::TlsRefused;
        case CURLE_SSL_CONNECT_ERROR:
            return Kind::TlsHandshake;
        default:
            return reply == 404 || reply == 410 ? Kind::Missing : Kind::Other;
    }
}

ReachFailure::Kind curl_failure_kind(CURL* handle, CURLcode code) {
    long reply = 0;
    long os_error = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &reply);
    curl_easy_getinfo(handle, CURLINFO_OS_ERRNO, &os_error);
    return curl_failure_kind(code, reply, os_error);
}

}  // namespace tovan
