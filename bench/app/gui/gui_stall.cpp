// How long the interface thread stops answering while local scanners run: a
// 1 ms timer records the gaps between its firings while the main window, on its
// own one-second timer, drains the scanners, until every scan has finished and
// its catalog is saved.
//
// usage: ferrovane_gui_stall FOLDER...   (one local server, and one scan, each)
// prints: files, scan_s, firings, longest_tick_ms, longest_tick_cpu_ms, p99_ms,
// max_ms, longest_ms (the five longest gaps)

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/Document.h"
#include "app/gui/MainWindow.h"
#include "support/QtOffscreen.h"
#include "support/StallClock.h"
#include "support/TempApplication.h"

namespace {

using namespace tovan;
using bench::Clock;
using bench::ms_between;
using bench::thread_cpu_ms;

// The longest of the window's ticks, from its timer's event to the end of the
// tick, to tell the gaps the ticks make from those the threads make; and the
// processor time the thread had in it, to tell a tick that works from one that
// waits for a lock or for a processor.
class TickTimer : public QObject {
public:
    explicit TickTimer(QTimer& timer) {
        timer.installEventFilter(this);
        // After the window's own connection, so it runs when the tick is done.
        connect(&timer, &QTimer::timeout, this, [this] {
            const double took = ms_between(started_, Clock::now());
            if (took <= longest_ms_)
                return;
            longest_ms_ = took;
            longest_cpu_ms_ = thread_cpu_ms() - started_cpu_ms_;
        });
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            started_ = Clock::now();
            started_cpu_ms_ = thread_cpu_ms();
        }
        return false;
    }
    double longest_ms() const { return longest_ms_; }
    double longest_cpu_ms() const { return longest_cpu_ms_; }

private:
    Clock::time_point started_;
    double started_cpu_ms_ = 0;
    double longest_ms_ = 0;
    double longest_cpu_ms_ = 0;
};

// Runs the event loop until no scan runs and no catalog is being saved; the gaps
// between the probe's firings, in ms.
std::vector<double> probe_until_scans_end(MainWindow& window) {
    std::vector<double> gaps;
    Clock::time_point last = Clock::now();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        gaps.push_back(ms_between(last, now));
        last = now;
        // The catalogs saved after the scans count too.
        if (!window.scheduler().has_running() && !window.scheduler().is_saving())
            QApplication::exit(0);
    });
    probe.start();
    QApplication::exec();
    return gaps;
}

std::uint64_t files_of(const Document& document) {
    std::uint64_t files = 0;
    for (const SharedPtr<TreeEntry>& node : document.servers()->children) {
        CatalogStats stats;
        node->server->statistics(stats);
        files += stats.files;
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    bench::default_to_offscreen();
    QApplication qt(argc, argv);
    QApplication::setApplicationVersion("2.2");
    try {
        bench::TempApplication temp;
        for (int index = 1; index < argc; ++index)
            temp.add_local_server(argv[index], "tree" + std::to_string(index));
        MainWindow window(temp.application());
        window.show();
        QApplication::processEvents();

        const TickTimer ticks(window.timer());
        const Clock::time_point start = Clock::now();
        window.route(Command::SynchronizeAll);
        if (!window.scheduler().has_running()) {
            std::fprintf(stderr, "no scan started\n");
            return 1;
        }
        std::vector<double> gaps = probe_until_scans_end(window);
        const double scan_s = ms_between(start, Clock::now()) / 1000;
        std::sort(gaps.begin(), gaps.end());
        const std::size_t p99 = static_cast<std::size_t>(std::ceil(gaps.size() * 0.99)) - 1;
        std::printf(
            "files %llu\nscan_s %.2f\nfirings %zu\nlongest_tick_ms %.1f\nlongest_tick_cpu_ms "
            "%.1f\np99_ms %.1f\nmax_ms %.1f\nlongest_ms",
            static_cast<unsigned long long>(files_of(*temp.application().document())), scan_s,
            gaps.size(), ticks.longest_ms(), ticks.longest_cpu_ms(), gaps[p99], gaps.back());
        for (std::size_t index = gaps.size(); index > 0 && index + 5 > gaps.size(); --index)
            std::printf(" %.1f", gaps[index - 1]);
        std::printf("\n");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
