// Makes the data folder of the start benchmarks: its document holds one server
// with a catalog of a million files, and its options start nothing (no status
// check, no scan) and leave the login session alone.
//
// usage: ferrovane_make_data_folder DIR
#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/DamagedFiles.h"
#include "app/Options.h"
#include "support/BenchServers.h"

int main(int argc, char** argv) {
    using namespace tovan;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        Document document(argv[1]);
        DamagedFiles damaged;
        document.load(damaged);
        bench::add_million_file_server(document);
        document.store();
        Options options;
        options.startup_action = Options::NoStartupAction;
        options.start_at_login = false;
        options.save(argv[1]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", argv[1], failure.what());
        return 1;
    }
    return 0;
}
