#include "app/PasteUrl.h"

#include "engine/catalog/Server.h"
#include "engine/catalog/UrlAuthority.h"
#include "engine/catalog/UrlEscapes.h"

namespace tovan {
namespace {

// What a URL's path may hold as it is (RFC 3986 "pchar" and "/").
constexpr std::string_view PathPlain = "/!$&'()*+,;=:@";

std::string authority(const std::string& host, std::uint32_t port, std::uint32_t usual) {
    const std::string authority = UrlAuthority::url_host(host);
    return port == usual ? authority : authority + ":" + std::to_string(port);
}

// An HTTP path keeps the escapes and the query it was given; only blanks and
// the like, stored decoded, are escaped again.
std::string http_url(const Server& server, const Entry* entry) {
    const bool tls = server.kind() == ServerKind::Https;
    return (tls ? "https://" : "http://") +
           authority(server.http_host(), server.http_port(), tls ? 443 : 80) +
           percent_encoded(server.source_path(entry), "/!$&'()*+,;=:@%?#");
}

// "\\host\share\path" as "host/share/path".
std::string network_path(const Server& server, const Entry* entry) {
    const std::string url = server.url_with_scheme(entry);
    return url.substr(url.find("://") + 3);
}

}  // namespace

std::string paste_url(const Server& server, const Entry* entry) {
    switch (server.kind()) {
        case ServerKind::Local:
            return server.url(entry);
        case ServerKind::Http:
        case ServerKind::Https:
            return http_url(server, entry);
        case ServerKind::Network:
            return "smb://" + percent_encoded(network_path(server, entry), PathPlain);
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp: {
            const FtpSettings& ftp = server.ftp();
            const std::string login = ftp.login.empty() ? "" : userinfo_encoded(ftp.login) + "@";
            return std::string(scheme_of(server.kind())) + "://" + login +
                   authority(ftp.host, ftp.port, default_port(server.kind())) +
                   percent_encoded(server.source_path(entry), PathPlain);
        }
    }
    return server.url(entry);
}

}  // namespace tovan
