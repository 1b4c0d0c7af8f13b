#include "app/CatalogFile.h"

#include <unistd.h>

#include <cctype>
#include <exception>

#include "app/DamagedFiles.h"
#include "app/EntryRecord.h"
#include "engine/catalog/CatalogLock.h"
#include "tovan/Paths.h"
#include "tovan/SafeSave.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OBufferStream.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr std::uint8_t BlockVersion = 0;

template <class Visit>
void for_each_server(const TreeEntry& node, Visit visit) {
    if (node.server)
        visit(node, *node.server);
    for (const SharedPtr<TreeEntry>& child : node.children) for_each_server(*child, visit);
}

std::string location_without_credentials(const Server& server) {
    if (!has_ftp_settings(server.kind()))
        return server.url_with_scheme();
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
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127)
            c = '_';
    if (!server.catalog_name().empty())
        name += "_" + server.catalog_name();
    return name + ".sav";
}

// Scans wait for the catalog lock while the walk holds it, and a walk into memory
// is far shorter than writing and syncing the file, which happens after it. The
// safe save's own lock is taken first, so a later save always writes a later
// catalog; nothing that holds the catalog lock may therefore wait for a save.
void CatalogFile::write(const std::string& folder, const std::string& name, const Server& server) {
    SafeSave::write(folder, name, [&](io::OFStream& out) {
        const std::string bytes = content(server);
        out.write_bytes(bytes.data(), bytes.size());
    });
}

std::string CatalogFile::content(const Server& server) {
    io::OBufferStream buffer(io::Stream::Raw);
    const CatalogGuard guard(catalog_lock());
    buffer.write_byte(BlockVersion);
    EntryRecord::write(buffer, *server.root());
    return buffer.take();
}

bool CatalogFile::save(const std::string& folder, const Server& server) {
    return save_as(folder, file_name(server), server);
}

bool CatalogFile::save_as(const std::string& folder, const std::string& name,
                          const Server& server) {
    try {
        write(folder, name, server);
        return true;
    } catch (const std::exception& error) {
        error_log(1) << error.what() << std::endl;
        return false;
    }
}

void CatalogFile::load(const std::string& folder, Server& server) {
    const std::string path = in_folder(folder, file_name(server));
    if (::access(path.c_str(), F_OK) != 0)
        return;
    try {
        io::IFStream in(path);
        std::uint8_t version = 0;
        in.read_byte(version);
        SharedPtr<Entry> root = Entry::create_folder("");
        EntryRecord::read_root(in, *root);
        server.set_root(root);
    } catch (...) {
        server.reset_root();
        throw;
    }
}

void CatalogFile::save_all(const std::string& folder, const TreeEntry& node) {
    std::exception_ptr first_failure;
    for_each_server(node, [&](const TreeEntry&, const Server& server) {
        try {
            write(folder, file_name(server), server);
        } catch (const std::exception& error) {
            error_log(1) << error.what() << std::endl;
            if (!first_failure)
                first_failure = std::current_exception();
        }
    });
    if (first_failure)
        std::rethrow_exception(first_failure);
}

void CatalogFile::load_all(const std::string& folder, const TreeEntry& node,
                           DamagedFiles& damaged) {
    for_each_server(node, [&](const TreeEntry& server_node, Server& server) {
        try {
            load(folder, server);
        } catch (const std::exception& error) {
            error_log(1) << "can't load :" << file_name(server) << std::endl;
            error_log(1) << error.what() << std::endl;
            const std::string label = "\"" + server_node.label() + "\"";
            damaged.found(in_folder(folder, file_name(server)), "the catalog of " + label,
                          error.what(), label + " has an empty catalog");
        }
    });
}

}  // namespace tovan
