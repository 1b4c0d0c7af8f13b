// Catalog size and merge speed: a catalog must hold millions of entries in little
// memory, and rescanning a large unchanged folder must cost about one name
// comparison per item.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "CatalogBuilder.h"
#include "Figure.h"

namespace {

using namespace tovan;

std::size_t heap_in_use() { return mallinfo2().uordblks; }

// Resident memory, as a cross-check of the allocator's own count.
std::size_t resident_bytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    unsigned long resident = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu %lu", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * 4096;
}

void catalog_memory(benchmark::State& state) {
    for (auto _ : state) {
        const std::size_t before = heap_in_use();
        const std::size_t resident_before = resident_bytes();
        {
            SharedPtr<Server> server = make_shared<Server>();
            server->from_url("/srv/catalog/");
            bench::CatalogBuilder(*server).million_files();
            CatalogStats stats;
            server->statistics(stats);
            const double bytes = static_cast<double>(heap_in_use() - before);
            const double entries = stats.files + stats.folders;
            state.counters["entries"] = entries;
            state.counters["MiB"] = bytes / (1 << 20);
            state.counters["resident_MiB"] =
                static_cast<double>(resident_bytes() - resident_before) / (1 << 20);
            bench::set_figure("catalog_memory", bytes / entries, "bytes/entry");
        }
    }
}
BENCHMARK(catalog_memory)->Iterations(1)->Unit(benchmark::kMillisecond);

void merge_unchanged(benchmark::State& state) {
    Server server;
    server.from_url("/srv/big/");
    bench::CatalogBuilder builder(server);
    const SharedPtr<Entry> folder = server.root();
    builder.list(folder, 0, 100000);
    ScanOptions options;
    class : public MergeListener {
        void marked(const SharedPtr<Entry>&) override {}
        void subfolder_found(const SharedPtr<Entry>&, std::int32_t, bool) override {}
    } quiet;
    ListingMerge merge(server, options, 1'700'000'000, quiet);

    // The same items listed again, as a rescan of an unchanged folder finds them.
    SharedPtr<Entry> fresh = Entry::create_folder("");
    for (std::size_t i = 0; i < folder->child_count(); ++i) {
        const SharedPtr<Entry> item = folder->child(i);
        fresh->add_child(Entry::create_file(item->name(), item->size(), item->time()));
    }
    fresh->sort_children();

    double total_ms = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        merge.merge(*folder, *fresh, -2, false, false);
        total_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                        .count();
    }
    bench::set_figure("merge_unchanged", total_ms / state.iterations(), "ms");
}
BENCHMARK(merge_unchanged)->Unit(benchmark::kMillisecond);

}  // namespace
