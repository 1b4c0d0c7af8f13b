// The tree pane's figures, off screen: expanding a folder of 100,000 subfolders,
// applying 1,000 changed folders in one tick, the model's bytes per fetched
// folder, and the interface thread's longest stall during a real scan.
//
// usage: ferrovane_tree_bench gui_expand_100k | gui_tree_tick_1000 | gui_tree_memory
//        ferrovane_tree_bench gui_tree_scan_stall TREE
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DamagedFiles.h"
#include "app/Document.h"
#include "app/Options.h"
#include "app/Scheduler.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/TreeModel.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/Server.h"
#include "support/CatalogBuilder.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A document in a fresh data folder with one local server of the given place.
struct Place {
    explicit Place(const std::string& location) {
        std::filesystem::create_directories(folder);
        DamagedFiles damaged;
        document.load(damaged);
        server = make_shared<Server>();
        server->from_url(location);
        server->set_parent_filter(&document.filter());
        node = TreeEntry::make_server_node(server, "place");
        node->online = true;
        document.servers()->children.push_back(node);
        options.show_changed_only = false;
    }
    ~Place() { std::filesystem::remove_all(folder); }

    std::string folder = std::filesystem::temp_directory_path() /
                         ("ferrovane-tree-bench-" + std::to_string(::getpid()));
    Document document{folder};
    Options options;
    SharedPtr<Server> server;
    SharedPtr<TreeEntry> node;
};

QModelIndex server_row(TreeModel& model, const Place& place) {
    const QModelIndex root = model.node_index(place.document.servers().get());
    model.fetchMore(root);
    return model.node_index(place.node.get());
}

// The view as the pane sets it up, on screen, with the server's row open.
QModelIndex show_server(QTreeView& view, TreeModel& model, const Place& place) {
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(300, 800);
    view.show();
    const QModelIndex server = server_row(model, place);
    view.expand(server.parent());
    view.expand(server);
    return server;
}

void expand_100k() {
    Place place("/bench/");
    bench::CatalogBuilder builder(*place.server);
    builder.list(place.server->root(), 1, 0);
    const SharedPtr<Entry> big = place.server->root()->child(0);
    builder.list(big, 100'000, 0);
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        TreeModel model(place.document, place.options);
        QTreeView view;
        const QModelIndex server = show_server(view, model, place);
        QApplication::processEvents();
        const QModelIndex folder = model.index(0, 0, server);
        const auto start = Clock::now();
        view.expand(folder);
        QApplication::processEvents();
        view.scrollTo(model.index(model.rowCount(folder) - 1, 0, folder));
        QApplication::processEvents();
        times.push_back(ms_since(start));
        if (model.rowCount(folder) != 100'000)
            std::fprintf(stderr, "only %d rows\n", model.rowCount(folder));
    }
    std::printf("gui_expand_100k: %.2f ms\n", median(times));
}

// 1,000 shown folders, each gaining a subfolder and losing another per tick.
void tick_1000() {
    Place place("/bench/");
    bench::CatalogBuilder builder(*place.server);
    builder.list(place.server->root(), 1000, 0);
    const std::vector<SharedPtr<Entry>> folders = place.server->root()->child_folders();
    for (const SharedPtr<Entry>& folder : folders) builder.list(folder, 10, 5);
    TreeModel model(place.document, place.options);
    QTreeView view;
    const QModelIndex server = show_server(view, model, place);
    for (int row = 0; row < model.rowCount(server); ++row) {
        view.expand(model.index(row, 0, server));
        model.fetchMore(model.index(row, 0, server));
    }
    QApplication::processEvents();
    std::vector<ChangeRecord> changed;
    for (const SharedPtr<Entry>& folder : folders)
        changed.push_back({place.server, place.node, folder});
    std::vector<double> times;
    for (int round = 0; round < 9; ++round) {
        for (const SharedPtr<Entry>& folder : folders) {
            CatalogGuard guard(catalog_lock());
            folder->remove_child(folder->child(0).get());
            SharedPtr<Entry> added = Entry::create_folder("zz" + std::to_string(round));
            folder->add_child(added);
        }
        const auto start = Clock::now();
        model.update_folders(changed);
        QApplication::processEvents();
        times.push_back(ms_since(start));
    }
    std::printf("gui_tree_tick_1000: %.2f ms\n", median(times));
}

void memory() {
    Place place("/bench/");
    bench::CatalogBuilder builder(*place.server);
    builder.list(place.server->root(), 100'000, 0);
    TreeModel model(place.document, place.options);
    const QModelIndex server = server_row(model, place);
    const std::size_t before = mallinfo2().uordblks;
    model.fetchMore(server);
    const std::size_t after = mallinfo2().uordblks;
    const double rows = model.rowCount(server);
    std::printf("gui_tree_memory: %.2f bytes\n", static_cast<double>(after - before) / rows);
}

// Passes the scheduler's reports to the pane, timing each: the pane's catalog
// reads happen inside these calls, so the longest bounds its longest hold of
// the catalog lock.
class TimedObserver : public SchedulerObserver {
public:
    explicit TimedObserver(TreePane& pane) : pane_(pane) {}

    void tree_updated(const std::vector<ChangeRecord>& folders) override {
        time([&] { pane_.tree_updated(folders); });
    }
    void node_updated(const SharedPtr<TreeEntry>& node) override {
        time([&] { pane_.node_updated(node); });
    }
    void online_changed(const SharedPtr<TreeEntry>& node) override {
        time([&] { pane_.online_changed(node); });
    }
    void scan_finished(const SharedPtr<TreeEntry>& node) override {
        time([&] { pane_.scan_finished(node); });
    }
    double longest = 0;

private:
    template <class Call>
    void time(Call call) {
        const auto start = Clock::now();
        call();
        longest = std::max(longest, ms_since(start));
    }
    TreePane& pane_;
};

// A real scan with the server expanded, ticked every second as the window does;
// a 5 ms timer measures how late the event loop serves it. The catalog is not
// saved at the end, which the scheduler does, not the tree.
void scan_stall(const std::string& tree) {
    Place place(tree + "/");
    place.options.show_changed_only = true;
    place.options.auto_save = false;
    Scheduler scheduler(place.document, place.options, nullptr, 0);
    QWidget window;
    DesktopServices desktop(&window);
    TreePane pane(place.document, scheduler, place.options, desktop, &window);
    TimedObserver observer(pane);
    scheduler.set_observer(&observer);
    window.resize(300, 800);
    pane.resize(300, 800);
    window.show();
    double longest_tick = 0;
    double longest_read = 0;
    double longest_stall = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto start = Clock::now();
        scheduler.tick(0);
        const QModelIndex server = pane.tree_model().node_index(place.node.get());
        pane.expand(server);
        // Keep the first folder of each level open, as a user watching the scan.
        for (QModelIndex at = server; at.isValid(); at = pane.tree_model().index(0, 0, at))
            pane.expand(at);
        longest_tick = std::max(longest_tick, ms_since(start));
        // The pane's longest single hold of the catalog lock is reading the
        // folders of one shown folder; each such read is one hold.
        for (QModelIndex at = server; at.isValid(); at = pane.tree_model().index(0, 0, at)) {
            const auto read = Clock::now();
            pane.tree_model().item(at)->entry->child_folders();
            longest_read = std::max(longest_read, ms_since(read));
        }
        if (!scheduler.has_running())
            QApplication::quit();
    });
    Clock::time_point last = Clock::now();
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest_stall = std::max(longest_stall, ms_since(last) - 5);
        last = Clock::now();
    });
    scheduler.start_scanning(place.node, {}, false, false);
    const auto start = Clock::now();
    tick.start(1000);
    probe.start(5);
    QApplication::exec();
    CatalogStats stats;
    place.server->statistics(stats);
    std::printf(
        "scan of %llu files took %.1f s; longest tick %.2f ms, longest tree update %.2f "
        "ms, longest read of a shown folder %.2f ms\n",
        static_cast<unsigned long long>(stats.files), ms_since(start) / 1000, longest_tick,
        observer.longest, longest_read);
    std::printf("gui_tree_scan_stall: %.2f ms\n", longest_stall);
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qt(argc, argv);
    const std::string name = argc > 1 ? argv[1] : "";
    if (name == "gui_expand_100k")
        expand_100k();
    else if (name == "gui_tree_tick_1000")
        tick_1000();
    else if (name == "gui_tree_memory")
        memory();
    else if (name == "gui_tree_scan_stall" && argc > 2)
        scan_stall(argv[2]);
    else {
        std::fprintf(stderr, "usage: %s NAME [TREE]\n", argv[0]);
        return 2;
    }
    return 0;
}
