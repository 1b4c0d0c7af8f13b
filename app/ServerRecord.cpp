#include "app/ServerRecord.h"

#include "app/RecordIo.h"
#include "app/ScanFilterRecord.h"
#include "tovan/TextualErrorInfo.h"

namespace tovan {
namespace {

void read_place(io::IStream& in, Server& server, std::uint8_t kind) {
    std::string text;
    std::string location;
    switch (static_cast<ServerKind>(kind)) {
        case ServerKind::Local:
            in.read_text(text);
            in.read_text(location);
            server.set_local(text, location);
            return;
        case ServerKind::Network:
            in.read_text(text);
            in.read_text(location);
            server.set_network(text, location);
            return;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp: {
            FtpSettings ftp;
            in.read_text(ftp.host);
            in.read_bool(ftp.passive);
            in.read_text(ftp.login);
            in.read_text(ftp.password);
            in.read_u32(ftp.port);
            in.read_text(location);
            server.set_ftp(ftp, location, static_cast<ServerKind>(kind));
            return;
        }
        case ServerKind::Http:
        case ServerKind::Https: {
            std::uint32_t port = 80;
            in.read_text(text);
            in.read_u32(port);
            in.read_text(location);
            server.set_http(text, port, location, static_cast<ServerKind>(kind));
            return;
        }
    }
    // A kind a later Ferrovane added: its fields can't be skipped, so the file is refused.
    const std::string why =
        "server of an unknown kind " + std::to_string(kind) + "; a newer Ferrovane wrote this file";
    TextualErrorInfo info(why.c_str());
    in.throw_failure_(&info);
}

}  // namespace

void ServerRecord::write(io::OStream& out, const Server& server) {
    out.write_byte(Version);
    out.write_byte(static_cast<std::uint8_t>(server.kind()));
    switch (server.kind()) {
        case ServerKind::Local:
            out.write_text(server.drive());
            break;
        case ServerKind::Network:
            out.write_text(server.host());
            break;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
            out.write_text(server.ftp().host);
            out.write_bool(server.ftp().passive);
            out.write_text(server.ftp().login);
            out.write_text(server.ftp().password);
            out.write_u32(server.ftp().port);
            break;
        case ServerKind::Http:
        case ServerKind::Https:
            out.write_text(server.http_host());
            out.write_u32(server.http_port());
            break;
    }
    out.write_text(server.location());
    ScanFilterRecord::write(out, server.filter());
    out.write_u32(server.connections_limit());
    out.write_u32(server.delay());
    out.write_text(server.catalog_name());
}

SharedPtr<Server> ServerRecord::read(io::IStream& in) {
    SharedPtr<Server> server = make_shared<Server>();
    const std::uint8_t version = read_record_version(in, Version, "server");
    std::uint8_t kind = 0;
    in.read_byte(kind);
    read_place(in, *server, kind);
    ScanFilterRecord::read(in, server->filter());
    std::uint32_t value = 0;
    in.read_u32(value);
    server->set_connections_limit(value);
    if (version >= 1) {
        in.read_u32(value);
        server->set_delay(value);
    }
    if (version >= 2) {
        std::string catalog_name;
        in.read_text(catalog_name);
        server->set_catalog_name(std::move(catalog_name));
    }
    return server;
}

}  // namespace tovan
