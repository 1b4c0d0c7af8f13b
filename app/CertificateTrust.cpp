#include "app/CertificateTrust.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "app/DamagedFiles.h"
#include "app/RecordIo.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SafeSave.h"
#include "tovan/io/IFStream.h"

namespace tovan {
namespace {

constexpr std::uint8_t Version = 1;

void visit_servers(const TreeEntry& node, const std::function<void(Server&)>& visit) {
    if (node.server)
        visit(*node.server);
    for (const SharedPtr<TreeEntry>& child : node.children) visit_servers(*child, visit);
}

}  // namespace

void CertificateTrust::load(const std::string& data_folder, DamagedFiles& damaged) {
    std::lock_guard guard(lock_);
    ca_file_.clear();
    servers_.clear();
    const std::string path = data_folder + "/" + FileName;
    if (::access(path.c_str(), F_OK) != 0)
        return;
    try {
        io::IFStream in(path);
        read_record_version(in, Version, "trusted certificates");
        in.read_text(ca_file_);
        for (std::uint32_t count = read_list_count(in, 3 * 4); count > 0; --count) {
            std::string name;
            TlsTrust trust;
            in.read_text(name);
            in.read_text(trust.fingerprint);
            in.read_text(trust.ca_file);
            servers_[name] = std::move(trust);
        }
    } catch (const std::exception& failure) {
        ca_file_.clear();
        servers_.clear();
        damaged.found(path, "the trusted certificates", failure.what(),
                      "only the system's authorities are trusted");
    }
}

void CertificateTrust::save(const std::string& data_folder, const TreeEntry& servers) {
    std::lock_guard guard(lock_);
    std::map<std::string, TlsTrust> kept;
    visit_servers(servers, [&](Server& server) {
        if (const auto found = servers_.find(server.catalog_name()); found != servers_.end())
            kept.insert(*found);
    });
    servers_ = std::move(kept);
    const std::string folder = data_folder + "/";
    if (servers_.empty() && ca_file_.empty() && ::access((folder + FileName).c_str(), F_OK) != 0)
        return;
    SafeSave::write(data_folder, FileName, [&](io::OFStream& out) {
        // Owner only before a byte of it is written.
        ::chmod((folder + SafeSave::TempName).c_str(), 0600);
        out.write_byte(Version);
        out.write_text(ca_file_);
        out.write_u32(static_cast<std::uint32_t>(servers_.size()));
        for (const auto& [name, trust] : servers_) {
            out.write_text(name);
            out.write_text(trust.fingerprint);
            out.write_text(trust.ca_file);
        }
    });
}

void CertificateTrust::apply(const TreeEntry& servers) const {
    std::lock_guard guard(lock_);
    visit_servers(servers, [this](Server& server) {
        const auto found = servers_.find(server.catalog_name());
        TlsTrust trust = found == servers_.end() ? TlsTrust{} : found->second;
        if (trust.ca_file.empty())
            trust.ca_file = ca_file_;
        server.set_tls_trust(std::move(trust));
    });
}

void CertificateTrust::apply_to_jobs(const TreeEntry& servers, const TreeEntry& downloads) const {
    const auto place = [](const Server& server) {
        return std::to_string(static_cast<int>(server.kind())) + " " + server.ftp().host + " " +
               std::to_string(server.ftp().port) + " " + server.http_host() + " " +
               std::to_string(server.http_port());
    };
    std::map<std::string, TlsTrust> by_place;
    visit_servers(servers, [&](Server& server) { by_place[place(server)] = server.tls_trust(); });
    for (const SharedPtr<TreeEntry>& job : downloads.children)
        if (job->download)
            if (const SharedPtr<Server> server = job->download->server())
                if (const auto found = by_place.find(place(*server)); found != by_place.end())
                    server->set_tls_trust(found->second);
}

TlsTrust CertificateTrust::of(const Server& server) const {
    std::lock_guard guard(lock_);
    const auto found = servers_.find(server.catalog_name());
    return found == servers_.end() ? TlsTrust{} : found->second;
}

void CertificateTrust::set_ca_file(std::string path) {
    std::lock_guard guard(lock_);
    ca_file_ = std::move(path);
}

void CertificateTrust::set(Server& server, const TlsTrust& trust) {
    std::lock_guard guard(lock_);
    if (trust == TlsTrust{})
        servers_.erase(server.catalog_name());
    else
        servers_[server.catalog_name()] = trust;
    server.set_tls_trust(trust.ca_file.empty() ? TlsTrust{trust.fingerprint, ca_file_} : trust);
}

}  // namespace tovan
