// The downloads list's tick: refresh() of 1,000 jobs shown in a table, half of
// them paused and half with a thread of their own that retries an unreachable
// source (its "wait(Ns)" changes every second, as a running job's speed does).
// The tick runs once a second on the interface thread, so it must stay far
// below a frame. The figure is refresh() alone; painting the visible rows
// afterwards is shown beside it, and how many rows each tick's dataChanged spans.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "app/DownloadList.h"
#include "app/gui/DownloadListModel.h"
#include "engine/catalog/Server.h"
#include "support/Figure.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

constexpr int Jobs = 1000;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Jobs of three files each into a temporary folder; they never reach their
// source, so nothing is written.
struct Downloads {
    Downloads() {
        std::filesystem::create_directories(folder);
        Server unreachable;
        unreachable.from_url(folder + "/missing/");
        DownloadList list(root);
        for (int index = 0; index < Jobs; ++index) {
            auto job = make_shared<Downloader>();
            job->set_server(unreachable);
            job->set_name("job " + std::to_string(index));
            for (const char* file : {"a.bin", "b.bin", "c.bin"}) job->add_path(file, folder);
            list.add(job);
            if (index % 2 == 1)
                job->resume();
        }
    }
    ~Downloads() {
        DownloadList(root).pause_all(std::chrono::seconds(30));
        std::filesystem::remove_all(folder);
    }

    std::string folder = std::filesystem::temp_directory_path() /
                         ("ferrovane-downloads-bench-" + std::to_string(::getpid()));
    SharedPtr<TreeEntry> root = TreeEntry::make_group("Downloads");
};

void gui_downloads_tick(benchmark::State& state) {
    Downloads downloads;
    DownloadListModel model;
    QTableView view;
    view.setModel(&model);
    view.resize(600, 800);
    view.show();
    model.show_jobs(downloads.root);
    QApplication::processEvents();
    double refresh_ms = 0;
    double paint_ms = 0;
    double rows_changed = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& first, const QModelIndex& last) {
                         rows_changed += last.row() - first.row() + 1;
                     });
    for (auto _ : state) {
        // One tick a second, as the window's timer runs it.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        state.ResumeTiming();
        const auto start = Clock::now();
        model.refresh();
        refresh_ms += ms_since(start);
        const auto painted = Clock::now();
        QApplication::processEvents();
        paint_ms += ms_since(painted);
    }
    const auto ticks = static_cast<double>(state.iterations());
    state.counters["refresh_ms"] = refresh_ms / ticks;
    state.counters["paint_ms"] = paint_ms / ticks;
    state.counters["rows_changed"] = rows_changed / ticks;
    bench::set_figure("gui_downloads_tick", refresh_ms / ticks, "ms");
}
BENCHMARK(gui_downloads_tick)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
