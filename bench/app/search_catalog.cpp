// Searches the catalog of a million files for '*.avi' in process, and leaves the
// same catalog as a data folder and as a text file of its paths for the tools
// that run beside it. Each further mask is searched too.
//
// usage: ferrovane_search_catalog DIR [MASK...]
// writes: DIR/data (a data folder holding the catalog), DIR/paths.txt
// prints: entries, search_ms (best of 5), results, paths_file, data_dir, and for
// each further mask a line "mask MASK MS RESULTS"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "app/Search.h"
#include "support/BenchServers.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

void write_paths(const Entry& folder, std::ofstream& out) {
    const std::string prefix = folder.path_for_children();
    for (const SharedPtr<Entry>& child : folder.children()) {
        if (child->is_folder())
            write_paths(*child, out);
        else
            out << prefix << child->name() << '\n';
    }
}

// The best of five searches, in milliseconds.
double best_search_ms(const char* mask, const std::vector<Search::Root>& roots,
                      std::size_t& results) {
    Search search;
    search.mask_text = mask;
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const Clock::time_point start = Clock::now();
        results = search.run(roots).size();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [MASK...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const std::string data = (dir / "data").string();
    std::filesystem::create_directories(data);

    Document document(data);
    DamagedFiles damaged;
    document.load(damaged);
    const SharedPtr<TreeEntry> node = bench::add_million_file_server(document);
    const SharedPtr<Server> server = node->server;
    document.store();

    const std::string paths = (dir / "paths.txt").string();
    {
        std::ofstream out(paths);
        write_paths(*server->root(), out);
    }

    const std::vector<Search::Root> roots = Search().roots(node);
    std::size_t results = 0;
    const double best = best_search_ms("*.avi", roots, results);
    CatalogStats stats;
    server->statistics(stats);
    std::printf("entries %u\nsearch_ms %.1f\nresults %zu\npaths_file %s\ndata_dir %s\n",
                stats.files + stats.folders + 1, best, results, paths.c_str(), data.c_str());
    for (int i = 2; i < argc; ++i) {
        const double ms = best_search_ms(argv[i], roots, results);
        std::printf("mask %s %.2f %zu\n", argv[i], ms, results);
    }
    return 0;
}
