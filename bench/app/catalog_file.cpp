// Saves and loads the catalog of a million files, each beside cp of the same file.
//
// usage: ferrovane_catalog_file DIR
// prints: save_s, load_s, cp_s, file_bytes, bytes_per_entry
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CatalogFile.h"
#include "support/CatalogBuilder.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
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
    std::printf(
        "entries %.0f\nsave_s %.3f\nload_s %.3f\ncp_s %.3f\nfile_bytes %ld\nbytes_per_entry %.1f\n",
        entries, save, load, copy, bytes, bytes / entries);
    return 0;
}
