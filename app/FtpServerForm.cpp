#include "app/FtpServerForm.h"

#include <charconv>

#include "engine/catalog/ScanFilter.h"

namespace tovan {
namespace {

// Locations of folders end in "/", as the command line stores them.
std::string as_folder(std::string folder) {
    if (!folder.starts_with('/'))
        folder.insert(0, 1, '/');
    if (!folder.ends_with('/'))
        folder += '/';
    return folder;
}

}  // namespace

FtpServerForm FtpServerForm::of(const TreeEntry& node) {
    FtpServerForm form;
    form.name = node.name;
    const Server& server = *node.server;
    form.settings = server.ftp();
    form.secure = server.kind() == ServerKind::Ftps;
    form.ssh = server.kind() == ServerKind::Sftp;
    form.folder = server.location().empty() ? "/" : server.location();
    form.automatic_connections = server.connections_limit() == 0;
    form.connections = form.automatic_connections ? 1 : server.connections_limit();
    form.delay = server.delay();
    return form;
}

SharedPtr<TreeEntry> FtpServerForm::make_node(const ScanFilter& document_filter) const {
    auto server = make_shared<Server>();
    server->set_parent_filter(&document_filter);
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server);
    apply_to(*node);
    server->set_scan_depth(*server->root(), Server::FullScan);
    return node;
}

void FtpServerForm::apply_to(TreeEntry& node) const {
    Server& server = *node.server;
    server.set_ftp(settings, as_folder(folder), kind());
    server.set_connections_limit(automatic_connections ? 0 : connections);
    server.set_delay(delay);
    node.name = name.empty() ? settings.host : name;
}

ServerKind FtpServerForm::kind() const {
    if (ssh)
        return ServerKind::Sftp;
    return secure ? ServerKind::Ftps : ServerKind::Ftp;
}

std::optional<std::uint32_t> FtpServerForm::number(std::string_view text, Range range) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value < range.min || value > range.max)
        return std::nullopt;
    return value;
}

}  // namespace tovan
