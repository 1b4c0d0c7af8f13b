// Scans an FTP server on loopback once and prints the wall time.
//
// usage: ferrovane_scan_ftp PORT THREADS
// prints: scan_ms, files, folders
#include <cstdio>
#include <cstdlib>

#include "support/ScanOnce.h"

int main(int argc, char** argv) {
    using namespace tovan;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT THREADS\n", argv[0]);
        return 2;
    }
    ScanFilter everything;
    everything.set_masks({"*"});
    SharedPtr<Server> server = make_shared<Server>();
    server->set_parent_filter(&everything);
    server->set_ftp(
        FtpSettings{"127.0.0.1", "", "", true, static_cast<std::uint32_t>(std::atoi(argv[1]))},
        "/");
    server->set_connections_limit(static_cast<std::uint32_t>(std::atoi(argv[2])));

    scan_once(server);
    return 0;
}
