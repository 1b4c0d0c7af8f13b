#pragma once

#include <string>
#include <string_view>

namespace tovan {

// A place on a network host as the catalog writes it (\\host/share/dir or
// \\host\share\dir\sub), split into the host and the path below it, and turned
// into the smb:// URL that libsmbclient reads. The host keeps a port written
// after it (host:port), which libsmbclient honours in the URL.
struct SmbPath {
    std::string host;
    std::string path;  // "/share/dir", or empty for the host itself

    static SmbPath read(std::string_view full_path);

    // The host itself: its shares are its children.
    bool is_host() const { return path.empty(); }
    // smb://host/share/dir/ with the path percent-encoded, since libsmbclient
    // decodes it; host_address replaces the host where given.
    std::string url(std::string_view host_address = {}) const;
    // The same for a file: without the closing "/".
    std::string file_url() const;
};

}  // namespace tovan
