// Catalog size and merge speed: a catalog must hold millions of entries in little
// memory, and rescanning a large unchanged folder must cost about one name
// comparison per item.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "Figure.h"
#include "engine/ListingMerge.h"

namespace {

using namespace tovan;

class Quiet : public MergeListener {
public:
    void marked(const SharedPtr<Entry>&) override {}
    void subfolder_found(const SharedPtr<Entry>&, std::int32_t, bool) override {}
};

// Names of 12 to 28 bytes, 20 on average.
std::string random_name(std::mt19937& random, int serial) {
    std::string name = std::to_string(serial) + "_";
    const std::size_t length = 12 + random() % 17;
    while (name.size() < length) name += static_cast<char>('a' + random() % 26);
    return name;
}

// Lists a folder the way a scan does: a sorted detached listing merged in as new.
void list_into(ListingMerge& merge, const SharedPtr<Entry>& folder, std::mt19937& random,
               int folders, int files, int& serial) {
    SharedPtr<Entry> fresh = Entry::create_folder("");
    const std::string path = folder->path_for_children();
    for (int i = 0; i < folders; ++i) {
        SharedPtr<Entry> sub = Entry::create_folder(random_name(random, serial++));
        sub->set_path(path);
        fresh->add_child(sub);
    }
    for (int i = 0; i < files; ++i)
        fresh->add_child(Entry::create_file(random_name(random, serial++), random() % 100000,
                                            1'700'000'000 + random() % 1000));
    fresh->sort_children();
    merge.merge(*folder, *fresh, -2, true, false);
}

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

// 1,000,000 files in 50,000 folders (250 with 200 subfolders each, 20 files in
// each subfolder).
void catalog_memory(benchmark::State& state) {
    for (auto _ : state) {
        ScanFilter everything;
        everything.set_masks({"*"});
        ScanOptions options;
        options.unmark_old_enabled = false;
        Quiet quiet;
        std::mt19937 random(7);
        int serial = 0;
        const std::size_t before = heap_in_use();
        const std::size_t resident_before = resident_bytes();
        {
            SharedPtr<Server> server = make_shared<Server>();
            server->set_parent_filter(&everything);
            server->from_url("/srv/catalog/");
            ListingMerge merge(*server, options, 1'700'000'000, quiet);
            const SharedPtr<Entry> root = server->root();
            list_into(merge, root, random, 250, 0, serial);
            for (std::size_t top = 0; top < root->child_count(); ++top) {
                const SharedPtr<Entry> folder = root->child(top);
                list_into(merge, folder, random, 200, 0, serial);
                for (std::size_t sub = 0; sub < folder->child_count(); ++sub)
                    list_into(merge, folder->child(sub), random, 0, 20, serial);
            }
            CatalogStats stats;
            root->statistics(stats);
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
    ScanFilter everything;
    everything.set_masks({"*"});
    Server server;
    server.set_parent_filter(&everything);
    server.from_url("/srv/big/");
    ScanOptions options;
    Quiet quiet;
    std::mt19937 random(3);
    int serial = 0;
    ListingMerge merge(server, options, 1'700'000'000, quiet);
    const SharedPtr<Entry> folder = server.root();
    list_into(merge, folder, random, 0, 100000, serial);

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
