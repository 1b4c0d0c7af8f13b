#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// The part of a URL between "//" and the path: [userinfo@]host[:port]. The
// host is a name, an IPv4 address or an IPv6 address in brackets; the port a
// number from 1 to 65535. Anything else is refused with the reason, since a
// location read wrongly would be stored and retried for good.
struct UrlAuthority {
    std::optional<std::string> userinfo;  // as written, escapes and all
    std::string host;                     // an IPv6 address without its brackets
    std::uint32_t port = 0;               // 0 when none is named

    // Empty, with problem set, for text that is no authority.
    static std::optional<UrlAuthority> read(std::string_view text, std::string& problem);
    // The host as a URL writes it: an IPv6 address in brackets.
    static std::string url_host(const std::string& host);
};

}  // namespace tovan
