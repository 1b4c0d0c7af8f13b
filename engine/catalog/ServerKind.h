#pragma once

#include <cstdint>

namespace tovan {

// The numbers are stored in the server list.
enum class ServerKind : std::uint32_t {
    Local = 0,    // a folder of this machine
    Network = 1,  // a host of the local network, optionally a folder in one of its shares
    Ftp = 2,
    Http = 3,
    Https = 4,  // HTTP over TLS, kept like HTTP
    Ftps = 5,   // FTP with explicit TLS, kept like FTP
    Sftp = 6,   // SSH's file transfer, kept like FTP
};

inline bool is_ftp(ServerKind kind) {
    return kind == ServerKind::Ftp || kind == ServerKind::Ftps;
}
// The kinds kept with FTP's settings: host, port, login, password.
inline bool has_ftp_settings(ServerKind kind) {
    return is_ftp(kind) || kind == ServerKind::Sftp;
}
inline bool is_http(ServerKind kind) {
    return kind == ServerKind::Http || kind == ServerKind::Https;
}

// The scheme and port of the kinds reached by URL.
inline const char* scheme_of(ServerKind kind) {
    switch (kind) {
        case ServerKind::Ftp:
            return "ftp";
        case ServerKind::Ftps:
            return "ftps";
        case ServerKind::Sftp:
            return "sftp";
        case ServerKind::Http:
            return "http";
        case ServerKind::Https:
            return "https";
        case ServerKind::Network:
            return "smb";
        case ServerKind::Local:
            break;
    }
    return "file";
}
inline std::uint32_t default_port(ServerKind kind) {
    switch (kind) {
        case ServerKind::Sftp:
            return 22;
        case ServerKind::Http:
            return 80;
        case ServerKind::Https:
            return 443;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Local:
        case ServerKind::Network:
            break;
    }
    return 21;
}

}  // namespace tovan
