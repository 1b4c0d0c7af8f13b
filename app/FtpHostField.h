#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// What the host field of the FTP server dialog holds: a host name or address,
// or a whole ftp://, ftps:// or sftp:// URL pasted into it (login, password, port and
// folder too). A part the text does not name stays unset, so that what was
// typed into its own field is kept. Examples: tests/app/FtpHostFieldTest.cpp.
struct FtpHostField {
    std::string host;  // an IPv6 address without its brackets
    std::optional<std::string> login;
    std::optional<std::string> password;
    std::optional<std::uint32_t> port;
    std::optional<std::string> folder;  // from its leading "/"
    std::optional<bool> secure;         // ftps:// or ftp://, when a scheme is written
    std::optional<bool> ssh;            // sftp://, when a scheme is written

    // Empty, with problem set, for a text that names no FTP server: a text
    // without a scheme is read as if "ftp://" stood in front of it.
    static std::optional<FtpHostField> read(std::string_view text, std::string& problem);
    // Whether the text held more than the host, so the other fields take it.
    bool names_more_than_host() const;
};

}  // namespace tovan
