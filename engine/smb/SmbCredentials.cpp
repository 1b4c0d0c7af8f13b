#include "engine/smb/SmbCredentials.h"

#include <unistd.h>

#include <map>
#include <mutex>

#include "tovan/SafeSave.h"
#include "tovan/Utf8Case.h"
#include "tovan/io/IFStream.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr std::uint8_t Version = 0;

struct Store {
    std::mutex lock;
    std::string folder;
    std::map<std::string, SmbCredentials::Login> logins;
};

Store& store() {
    static Store instance;
    return instance;
}

void read_file(Store& store) {
    const std::string path = store.folder + "/" + SmbCredentials::FileName;
    if (::access(path.c_str(), F_OK) != 0)
        return;
    try {
        io::IFStream in(path);
        std::uint8_t version = 0;
        std::uint32_t count = 0;
        in.read_byte(version);
        in.read_count(count, 4 * 4);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string host;
            SmbCredentials::Login login;
            in.read_text(host);
            in.read_text(login.domain);
            in.read_text(login.user);
            in.read_text(login.password);
            store.logins[host] = login;
        }
    } catch (const std::exception& error) {
        error_log(1) << "can't read the network logins: " << error.what() << std::endl;
    }
}

void write_file(const Store& store) {
    if (store.folder.empty())
        return;
    try {
        SafeSave::write(store.folder, SmbCredentials::FileName, [&](io::OFStream& out) {
            out.write_byte(Version);
            out.write_u32(static_cast<std::uint32_t>(store.logins.size()));
            for (const auto& [host, login] : store.logins) {
                out.write_text(host);
                out.write_text(login.domain);
                out.write_text(login.user);
                out.write_text(login.password);
            }
        });
    } catch (const std::exception& error) {
        error_log(1) << "can't keep the network login: " << error.what() << std::endl;
    }
}

}  // namespace

void SmbCredentials::use_folder(const std::string& data_folder) {
    Store& logins = store();
    std::lock_guard guard(logins.lock);
    logins.folder = data_folder;
    logins.logins.clear();
    read_file(logins);
}

std::optional<SmbCredentials::Login> SmbCredentials::find(const std::string& host) {
    Store& logins = store();
    std::lock_guard guard(logins.lock);
    const auto found = logins.logins.find(to_lower_utf8(host));
    if (found == logins.logins.end())
        return std::nullopt;
    return found->second;
}

void SmbCredentials::remember(const std::string& host, const Login& login) {
    Store& logins = store();
    std::lock_guard guard(logins.lock);
    Login& kept = logins.logins[to_lower_utf8(host)];
    if (kept == login)
        return;
    kept = login;
    write_file(logins);
}

}  // namespace tovan
