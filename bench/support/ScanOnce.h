#pragma once

#include <chrono>
#include <cstdio>
#include <thread>

#include "engine/scan/Scanner.h"

namespace tovan {

// Scans the whole server once as the scan benchmarks' programs do and prints
// scan_ms, files and folders; 1 when the server reported an error.
inline int scan_once(const SharedPtr<Server>& server) {
    const auto start = std::chrono::steady_clock::now();
    {
        Scanner scanner(server, ScanOptions());
        scanner.scan(server->root(), false);
        while (!scanner.is_idle() && !scanner.has_no_threads())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        scanner.stop();
        while (!scanner.has_no_threads()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    CatalogStats stats;
    server->statistics(stats);
    std::printf("scan_ms %.1f\nfiles %u\nfolders %u\n", ms, stats.files, stats.folders);
    if (server->last_error().empty())
        return 0;
    std::fprintf(stderr, "last error: %s\n", server->last_error().c_str());
    return 1;
}

}  // namespace tovan
