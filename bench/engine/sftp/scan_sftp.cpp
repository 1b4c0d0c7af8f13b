// Scans an SFTP server on loopback once and prints the wall time. The host key
// is read from DATA/known_hosts, the client key from $HOME/.ssh.
//
// usage: ferrovane_scan_sftp PORT THREADS USER PATH DATA
// prints: scan_ms, files, folders
#include <cstdio>
#include <cstdlib>

#include "engine/sftp/SftpHostKeys.h"
#include "support/ScanOnce.h"

int main(int argc, char** argv) {
    using namespace tovan;
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s PORT THREADS USER PATH DATA\n", argv[0]);
        return 2;
    }
    SftpHostKeys::use_folder(argv[5]);
    ScanFilter everything;
    everything.set_masks({"*"});
    SharedPtr<Server> server = make_shared<Server>();
    server->set_parent_filter(&everything);
    server->set_ftp(
        FtpSettings{"127.0.0.1", argv[3], "", true, static_cast<std::uint32_t>(std::atoi(argv[1]))},
        argv[4], ServerKind::Sftp);
    server->set_connections_limit(static_cast<std::uint32_t>(std::atoi(argv[2])));

    return scan_once(server);
}
