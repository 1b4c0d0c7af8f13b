#include "engine/smb/SmbErrorText.h"

#include <cerrno>

namespace tovan {

// libsmbclient folds the server's status codes into errno values: a rejected
// login arrives as EACCES like any denied access, a missing host, share or folder
// as ENOENT, a host that does not answer as a network error.
std::string smb_error_text(int error) {
    switch (error) {
        case 0:
            return "It worked";
        case EACCES:
        case EPERM:
            return "access is denied.";
        case ENOMEM:
            return "Not enough storage is available to process this command";
        case ENOENT:
        case EHOSTUNREACH:
        case ENETUNREACH:
        case EHOSTDOWN:
        case ECONNREFUSED:
        case ETIMEDOUT:
            return "Network path not found.";
        case ENODEV:
        case ENOTDIR:
            return "bad net name.";
        case ENODATA:
            return "No more data is available.";
        default:
            return "a unknown error occurred.";
    }
}

std::string smb_error_line(int error) {
    return smb_error_text(error) + " err_code: " + std::to_string(error);
}

ReachFailure::Kind smb_failure_kind(int error) {
    using Kind = ReachFailure::Kind;
    switch (error) {
        case 0:
            return Kind::None;
        case EACCES:
        case EPERM:
            return Kind::LoginRefused;
        case ENOENT:
        case ENODEV:
        case ENOTDIR:
            return Kind::Missing;
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
        case EHOSTDOWN:
            return Kind::NoAnswer;
        case ECONNREFUSED:
            return Kind::ConnectionRefused;
        default:
            return Kind::Other;
    }
}

}  // namespace tovan
