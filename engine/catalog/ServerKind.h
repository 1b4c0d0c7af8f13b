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
};

inline bool is_ftp(ServerKind kind) {
    return kind == ServerKind::Ftp || kind == ServerKind::Ftps;
}
inline bool is_http(ServerKind kind) {
    return kind == ServerKind::Http || kind == ServerKind::Https;
}

}  // namespace tovan
