#pragma once

#include <cstdint>
#include <string>

namespace tovan {

struct FtpSettings {
    std::string host;
    std::string login;
    std::string password;
    bool passive = true;
    std::uint32_t port = 21;

    bool operator==(const FtpSettings&) const = default;
};

}  // namespace tovan
