#pragma once

#include <cstdint>

namespace tovan {

// The numbers are stored in the server list.
enum class ServerKind : std::uint32_t {
    Local = 0,    // a folder of this machine
    Network = 1,  // a host of the local network, optionally a folder in one of its shares
    Ftp = 2,
    Http = 3,
};

}  // namespace tovan
