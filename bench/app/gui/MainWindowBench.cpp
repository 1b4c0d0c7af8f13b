// The main window's one-second tick while nothing runs: it polls the scheduler
// and recomputes which commands are enabled, and must cost far less than a frame
// so that an idle window never stutters.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <string>

#include "app/gui/MainWindow.h"
#include "support/Figure.h"
#include "support/TempApplication.h"

namespace {

using namespace tovan;

constexpr int IdleServers = 20;
constexpr int FilesPerServer = 100;

void gui_tick_idle(benchmark::State& state) {
    bench::TempApplication temp;
    for (int index = 0; index < IdleServers; ++index) {
        const std::string name = "place" + std::to_string(index);
        temp.add_local_server(temp.make_folder("places/" + name), name, FilesPerServer);
    }
    MainWindow window(temp.application());
    window.timer().stop();  // only the loop below ticks
    window.show();
    QApplication::processEvents();
    std::chrono::duration<double, std::milli> spent{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        window.tick();
        spent += std::chrono::steady_clock::now() - start;
    }
    if (window.scheduler().has_running())
        state.SkipWithError("a scan ran during the idle ticks");
    bench::set_figure("gui_tick_idle", spent.count() / static_cast<double>(state.iterations()),
                      "ms");
}
BENCHMARK(gui_tick_idle)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
