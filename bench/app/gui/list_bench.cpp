// The list pane's figures, off screen: showing a folder of 1,000,000 files until
// it is painted, sorting it by size, the model's bytes per row, and applying
// 1,000 changed files (added, modified and removed, spread over the folder) in
// one refresh.
//
// usage: ferrovane_list_bench gui_list_1m | gui_list_sort_1m | gui_list_memory
//        ferrovane_list_bench gui_list_tick_1000 [ROWS]   (100,000 rows by default)
#include <malloc.h>
#include <time.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/Options.h"
#include "app/gui/EntryListModel.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Server.h"
#include "support/CatalogBuilder.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The interface thread's own processor time: the machine may be busy with others.
double thread_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A server whose root holds one folder of that many files, and an empty one.
struct Place {
    explicit Place(int files) {
        server->from_url("/bench/");
        bench::CatalogBuilder builder(*server);
        builder.list(server->root(), 2, 0);
        big = server->root()->child(0);
        empty = server->root()->child(1);
        builder.list(big, 0, files);
        options.show_changed_only = false;
    }

    SharedPtr<Server> server = make_shared<Server>();
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, "place");
    SharedPtr<Entry> big;
    SharedPtr<Entry> empty;
    Options options;
};

// The table as the pane sets it up: fixed row heights, no row numbers.
void set_up(QTableView& view, EntryListModel& model) {
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(20);
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
}

void paint(QTableView& view) {
    QApplication::processEvents();
    view.viewport()->repaint();
}

// The median of the rounds' times from before `timed` until the list is
// painted again, each round made ready by `prepare`; the median processor time
// of the interface thread goes to the output too.
template <class Prepare, class Timed>
double median_of_rounds(QTableView& view, int rounds, Prepare prepare, Timed timed) {
    std::vector<double> times;
    std::vector<double> processor;
    for (int round = 0; round < rounds; ++round) {
        prepare(round);
        paint(view);
        const auto start = Clock::now();
        const double started = thread_ms();
        timed();
        paint(view);
        times.push_back(ms_since(start));
        processor.push_back(thread_ms() - started);
    }
    std::printf("processor time %.2f ms\n", median(processor));
    return median(times);
}

void show_1m() {
    Place place(1'000'000);
    EntryListModel model(place.options);
    QTableView view;
    set_up(view, model);
    const double figure = median_of_rounds(
        view, 5, [&](int) { model.show_folder(place.node, place.empty); },
        [&] { model.show_folder(place.node, place.big); });
    std::printf("gui_list_1m: %.2f ms\n", figure);
}

void sort_1m() {
    Place place(1'000'000);
    EntryListModel model(place.options);
    QTableView view;
    set_up(view, model);
    model.show_folder(place.node, place.big);
    const double figure = median_of_rounds(
        view, 5, [&](int) { model.sort(EntryListModel::Name, Qt::AscendingOrder); },
        [&] { model.sort(EntryListModel::Size, Qt::AscendingOrder); });
    std::printf("gui_list_sort_1m: %.2f ms\n", figure);
}

// Heap growth of the model alone; sorted by another column than Name it keeps
// each row's catalog place as well.
void memory() {
    Place place(1'000'000);
    EntryListModel model(place.options);
    const std::size_t before = mallinfo2().uordblks;
    model.show_folder(place.node, place.big);
    const double rows = model.rowCount();
    const double by_name = static_cast<double>(mallinfo2().uordblks - before) / rows;
    model.sort(EntryListModel::Size, Qt::AscendingOrder);
    const double by_size = static_cast<double>(mallinfo2().uordblks - before) / rows;
    std::printf("by name %.2f bytes per row, by size %.2f\n", by_name, by_size);
    std::printf("gui_list_memory: %.2f bytes\n", std::max(by_name, by_size));
}

// A third of the changes each: every 300th file goes, the one 100 further is
// listed anew with another size, and the one 200 further gets a new neighbour.
void change_1000(const SharedPtr<Entry>& folder, int round) {
    const std::vector<SharedPtr<Entry>> files = folder->children();
    const std::size_t step = files.size() / 1000 * 3;
    std::set<const Entry*> gone;
    std::vector<SharedPtr<Entry>> added;
    for (std::size_t at = 0; at + 200 < files.size() && gone.size() < 334; at += step) {
        gone.insert(files[at].get());
        const Entry& old = *files[at + 100];
        SharedPtr<Entry> listed = Entry::create_file(old.name(), old.size() + 1, old.time());
        listed->set_previous_size(old.size());
        folder->replace_child(&old, listed);
        ChangeMarks::set(*listed, EntryState::Modified);
        added.push_back(Entry::create_file(
            std::string(files[at + 200]->name()) + "~" + std::to_string(round), 1, 0));
    }
    folder->remove_children_where([&](const Entry& child) { return gone.count(&child) != 0; });
    folder->add_children(added);
}

void tick_1000(int rows) {
    Place place(rows);
    const std::pair<const char*, int> sorts[] = {{"by size", EntryListModel::Size},
                                                 {"by name", EntryListModel::Name}};
    double figure = 0;
    for (const auto& [title, column] : sorts) {
        EntryListModel model(place.options);
        QTableView view;
        set_up(view, model);
        model.sort(column, Qt::AscendingOrder);
        model.show_folder(place.node, place.big);
        view.selectRow(rows / 2);
        view.scrollTo(model.index(rows / 2, 0));
        paint(view);
        const double time = median_of_rounds(
            view, 7, [&](int round) { change_1000(place.big, round * 2 + column); },
            [&] { model.refresh(); });
        std::printf("%d rows %s: %.2f ms\n", model.rowCount(), title, time);
        figure = std::max(figure, time);
    }
    std::printf("gui_list_tick_1000: %.2f ms\n", figure);
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qt(argc, argv);
    const std::string name = argc > 1 ? argv[1] : "";
    const int rows = argc > 2 ? std::atoi(argv[2]) : 100'000;
    const std::pair<const char*, std::function<void()>> benchmarks[] = {
        {"gui_list_1m", show_1m},
        {"gui_list_sort_1m", sort_1m},
        {"gui_list_memory", memory},
        {"gui_list_tick_1000", [rows] { tick_1000(rows); }}};
    for (const auto& [known, run] : benchmarks) {
        if (name == known) {
            run();
            return 0;
        }
    }
    std::fprintf(stderr, "usage: %s NAME [ROWS]\n", argv[0]);
    return 2;
}
