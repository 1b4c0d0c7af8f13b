#include "app/FtpHostField.h"

#include "engine/catalog/Location.h"
#include "tovan/Blanks.h"

namespace tovan {

std::optional<FtpHostField> FtpHostField::read(std::string_view text, std::string& problem) {
    text = without_blanks_around(text);
    const bool has_scheme = text.find("://") != std::string_view::npos;
    const std::string url = has_scheme ? std::string(text) : "ftp://" + std::string(text);
    std::string file_name;
    std::optional<Location> place = Location::read(url, &file_name, &problem);
    if (!place)
        return std::nullopt;
    if (!has_ftp_settings(place->kind)) {
        problem = "an FTP or SFTP server's address begins with ftp://, ftps:// or sftp://";
        return std::nullopt;
    }
    FtpHostField field;
    field.host = place->host;
    // Only the parts written count: "me@host" keeps the password typed below.
    const std::size_t authority_end = url.find('/', url.find("://") + 3);
    const std::string authority = url.substr(0, authority_end);
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        field.login = place->login;
        if (authority.find(':', url.find("://") + 3) < at)
            field.password = place->password;
    }
    if (place->port != 0)
        field.port = place->port;
    // A folder named without its closing "/" is still the folder.
    const std::string folder = place->path + file_name;
    if (folder != "/" || authority_end != std::string::npos)
        field.folder = folder;
    if (has_scheme) {
        field.secure = place->kind == ServerKind::Ftps;
        field.ssh = place->kind == ServerKind::Sftp;
    }
    return field;
}

bool FtpHostField::names_more_than_host() const {
    return login || password || port || folder || secure || ssh;
}

}  // namespace tovan
