#include "app/CatalogFile.h"

#include <unistd.h>

#include <cctype>

#include "app/EntryRecord.h"
#include "tovan/SafeSave.h"
#include "tovan/io/IFStream.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr std::uint8_t BlockVersion = 0;

template <class Visit>
void for_each_server(const TreeEntry& node, Visit visit) {
    if (node.server) visit(*node.server);
    for (const SharedPtr<TreeEntry>& child : node.children) for_each_server(*child, visit);
}

std::string location_without_credentials(const Server& server) {
    if (!is_ftp(server.kind())) return server.url_with_scheme();
    Server plain;
    FtpSettings settings = server.ftp();
    settings.login.clear();
    settings.password.clear();
    plain.set_ftp(settings, server.location(), server.kind());
    return plain.url_with_scheme();
}

}  // namespace

std::string CatalogFile::file_name(const Server& server) {
    std::string name = location_without_credentials(server);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127) c = '_';
    if (!server.catalog_name().empty()) name += "_" + server.catalog_name();
    return name + ".sav";
}

bool CatalogFile::save(const std::string& folder, const Server& server) {
    try {
        SafeSave::write(folder, file_name(server), [&](io::OFStream& out) {
            out.write_byte(BlockVersion);
            EntryRecord::write(out, *server.root());
        });
        return true;
    } catch (const std::exception& error) {
        error_log(1) << error.what() << std::endl;
        return false;
    }
}

bool CatalogFile::load(const std::string& folder, Server& server) {
    const std::string name = file_name(server);
    const std::string path = folder + "/" + name;
    if (::access(path.c_str(), F_OK) != 0) return true;
    try {
        io::IFStream in(path);
        std::uint8_t version = 0;
        in.read_byte(version);
        SharedPtr<Entry> root = Entry::create_folder("");
        EntryRecord::read_root(in, *root);
        server.set_root(root);
        return true;
    } catch (const std::exception& error) {
        server.reset_root();
        error_log(1) << "can't load :" << name << std::endl;
        error_log(1) << error.what() << std::endl;
        return false;
    }
}

void CatalogFile::save_all(const std::string& folder, const TreeEntry& node) {
    for_each_server(node, [&](const Server& server) { save(folder, server); });
}

void CatalogFile::load_all(const std::string& folder, const TreeEntry& node) {
    for_each_server(node, [&](Server& server) { load(folder, server); });
}

}  // namespace tovan
