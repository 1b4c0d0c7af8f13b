// Catalog size and merge speed: a catalog must hold millions of entries in little
// memory, rescanning a large unchanged folder must cost about one name
// comparison per item, and any mix of changes in a large folder must merge in
// n log n.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/CatalogBuilder.h"
#include "support/Figure.h"

namespace {

using namespace tovan;

std::size_t heap_in_use() {
    return mallinfo2().uordblks;
}

// Resident memory, as a cross-check of the allocator's own count.
std::size_t resident_bytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    unsigned long resident = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu %lu", &pages, &resident) != 2)
            resident = 0;
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

class Quiet : public MergeListener {
    void marked(const SharedPtr<Entry>&) override {}
    void subfolder_found(const SharedPtr<Entry>&, std::int32_t, bool) override {}
};

void merge_unchanged(benchmark::State& state) {
    Server server;
    server.from_url("/srv/big/");
    bench::CatalogBuilder builder(server);
    const SharedPtr<Entry> folder = server.root();
    builder.list(folder, 0, 100000);
    ScanOptions options;
    Quiet quiet;
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
        total_ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    bench::set_figure("merge_unchanged", total_ms / state.iterations(), "ms");
}
BENCHMARK(merge_unchanged)->Unit(benchmark::kMillisecond);

// A rescan of a folder of 100,000 files listing 100,000 items: a third of them
// new, a third modified, a third unchanged, and the folder's other third gone.
// The new names fall between the known ones.
void merge_mixed(benchmark::State& state) {
    constexpr int Count = 100000;
    ScanFilter everything;
    everything.set_masks({"*.*"});
    ScanOptions options;
    Quiet quiet;
    double total_ms = 0;
    for (auto _ : state) {
        Server server;
        server.from_url("/srv/mixed/");
        server.set_parent_filter(&everything);
        std::vector<SharedPtr<Entry>> known;
        SharedPtr<Entry> fresh = Entry::create_folder("");
        for (int i = 0; i < Count; ++i) {
            const std::string name = "f" + std::to_string(i);
            known.push_back(Entry::create_file(name, 10, 1'600'000'000));
            if (i % 3 == 0)
                fresh->add_child(Entry::create_file(name, 11, 1'600'000'000));
            if (i % 3 == 1)
                fresh->add_child(Entry::create_file(name, 10, 1'600'000'000));
            if (i % 3 == 2)
                fresh->add_child(Entry::create_file(name + "n", 10, 1'600'000'000));
        }
        fresh->sort_children();
        server.root()->add_children(std::move(known));
        ListingMerge merge(server, options, 1'600'000'000, quiet);
        const auto start = std::chrono::steady_clock::now();
        merge.merge(*server.root(), *fresh, -2, false, false);
        total_ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    bench::set_figure("merge_mixed", total_ms / state.iterations(), "ms");
}
BENCHMARK(merge_mixed)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
