// Saves and loads the catalog of a million files, each beside cp of the same file;
// and how long saving a catalog of 262,500 entries holds the catalog lock, which
// scans and the interface then wait for.
//
// usage: ferrovane_catalog_file DIR
// prints: save_s, load_s, cp_s, file_bytes, bytes_per_entry, lock_hold_ms
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/CatalogFile.h"
#include "engine/catalog/CatalogLock.h"
#include "support/CatalogBuilder.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The longest wait for the catalog lock, taken again and again, while the
// catalog is saved on another thread.
double longest_lock_wait_ms(const std::string& folder, const Server& server) {
    std::atomic<bool> saved{false};
    std::thread saver([&] {
        CatalogFile::save(folder, server);
        saved = true;
    });
    double longest = 0;
    while (!saved) {
        const auto start = Clock::now();
        { const CatalogGuard guard(catalog_lock()); }
        longest = std::max(longest, seconds_since(start) * 1000);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    saver.join();
    std::remove((folder + "/" + CatalogFile::file_name(server)).c_str());
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    Server server;
    server.from_url("/srv/catalog/");
    server.set_catalog_name("BENCHMRK");
    bench::CatalogBuilder(server).million_files();
    CatalogStats stats;
    server.statistics(stats);
    const double entries = stats.files + stats.folders + 1.0;

    auto start = Clock::now();
    if (!CatalogFile::save(folder, server))
        return 1;
    const double save = seconds_since(start);

    const std::string file = folder + "/" + CatalogFile::file_name(server);
    start = Clock::now();
    if (std::system(("cp '" + file + "' '" + file + ".copy'").c_str()) != 0)
        return 1;
    const double copy = seconds_since(start);
    std::remove((file + ".copy").c_str());

    Server loaded;
    loaded.from_url("/srv/catalog/");
    loaded.set_catalog_name("BENCHMRK");
    start = Clock::now();
    CatalogFile::load(folder, loaded);
    const double load = seconds_since(start);
    CatalogStats check;
    loaded.statistics(check);
    if (check.files != stats.files)
        return 1;

    std::FILE* opened = std::fopen(file.c_str(), "rb");
    std::fseek(opened, 0, SEEK_END);
    const long bytes = std::ftell(opened);
    std::fclose(opened);
    std::remove(file.c_str());

    Server quarter;
    quarter.from_url("/srv/quarter/");
    bench::CatalogBuilder(quarter).quarter_million_files();
    const double lock_hold = longest_lock_wait_ms(folder, quarter);
    std::printf(
        "entries %.0f\nsave_s %.3f\nload_s %.3f\ncp_s %.3f\nfile_bytes %ld\nbytes_per_entry "
        "%.1f\nlock_hold_ms %.1f\n",
        entries, save, load, copy, bytes, bytes / entries, lock_hold);
    return 0;
}
