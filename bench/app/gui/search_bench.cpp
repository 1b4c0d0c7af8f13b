// The Search dialog's figures, off screen, over a catalog of 1,000,000 files of
// which every tenth ends in ".avi": how soon the first results show and when the
// last do, beside the core's search of the same catalog in the same run; the
// interface thread's longest gap meanwhile; and the bytes each result row costs.
//
// usage: ferrovane_search_bench gui_search_1m | gui_search_memory
#include <malloc.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/Search.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/SearchDialog.h"
#include "app/gui/SearchResultModel.h"
#include "engine/catalog/Server.h"
#include "support/CatalogBuilder.h"
#include "support/QtOffscreen.h"
#include "support/StallClock.h"
#include "support/TempApplication.h"

namespace {

using namespace tovan;
using bench::Clock;
using bench::ms_between;
using bench::thread_cpu_ms;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Every tenth file of the catalog gets ".avi" at the end of its name.
void name_avi_files(const Entry& folder, int& count) {
    for (const SharedPtr<Entry>& child : folder.children()) {
        if (child->is_folder())
            name_avi_files(*child, count);
        else if (++count % 10 == 0)
            child->set_name(std::string(child->name()) + ".avi");
    }
}

SharedPtr<TreeEntry> million_files(bench::TempApplication& temp) {
    const SharedPtr<TreeEntry> node = temp.add_local_server("/srv/catalog/", "catalog");
    bench::CatalogBuilder(*node->server).million_files();
    int count = 0;
    name_avi_files(*node->server->root(), count);
    return node;
}

double core_ms(const SharedPtr<TreeEntry>& node, std::size_t& results) {
    Search search;
    search.mask_text = "*.avi";
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        const Clock::time_point start = Clock::now();
        results = search.run(search.roots(node)).size();
        times.push_back(ms_between(start, Clock::now()));
    }
    return median(times);
}

// One search in the dialog, timed from the click: the first paint of the results
// that shows rows, the end of the search, and the longest gap between the
// firings of a 1 ms timer meanwhile.
struct DialogRun {
    double first_ms = 0;
    double last_ms = 0;
    double longest_gap_ms = 0;
    double longest_gap_cpu_ms = 0;  // the interface thread's own work in that gap
    int rows = 0;
};

class FirstPaint : public QObject {
public:
    FirstPaint(QTableView& view, Clock::time_point start) : view_(view), start_(start) {
        view.viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms_ < 0 && view_.model()->rowCount() > 0)
            ms_ = ms_between(start_, Clock::now());
        return false;
    }
    double ms() const { return ms_; }

private:
    QTableView& view_;
    Clock::time_point start_;
    double ms_ = -1;
};

DialogRun run_dialog(SearchDialog& dialog, const QString& mask) {
    dialog.findChild<QLineEdit*>("mask")->setText(mask);
    QApplication::processEvents();
    DialogRun run;
    const Clock::time_point start = Clock::now();
    FirstPaint paint(dialog.view(), start);
    Clock::time_point last = start;
    double last_cpu = thread_cpu_ms();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        const double cpu = thread_cpu_ms();
        if (ms_between(last, now) > run.longest_gap_ms) {
            run.longest_gap_ms = ms_between(last, now);
            run.longest_gap_cpu_ms = cpu - last_cpu;
        }
        last = now;
        last_cpu = cpu;
        if (!dialog.searching() && run.last_ms == 0)
            run.last_ms = ms_between(start, now);
        if (run.last_ms > 0 && (paint.ms() >= 0 || dialog.results().rowCount() == 0))
            QApplication::exit(0);
    });
    probe.start();
    dialog.search_or_stop();
    QApplication::exec();
    run.first_ms = paint.ms();
    run.rows = dialog.results().rowCount();
    return run;
}

void search_1m() {
    bench::TempApplication temp;
    const SharedPtr<TreeEntry> node = million_files(temp);
    std::size_t results = 0;
    const double core = core_ms(node, results);
    DesktopServices desktop(nullptr);
    SearchDialog dialog(temp.application(), desktop, node, {});
    dialog.show();
    std::vector<double> first, last, gaps, gap_cpu;
    int rows = 0;
    for (int round = 0; round < 5; ++round) {
        const DialogRun run = run_dialog(dialog, "*.avi");
        first.push_back(run.first_ms);
        last.push_back(run.last_ms);
        gaps.push_back(run.longest_gap_ms);
        gap_cpu.push_back(run.longest_gap_cpu_ms);
        rows = run.rows;
    }
    std::printf("results %zu (dialog rows %d)\n", results, rows);
    std::printf("core search (Search::run, median of 5): %.1f ms\n", core);
    std::printf("dialog, last results shown (median of 5): %.1f ms = %.2f x core\n", median(last),
                median(last) / core);
    const auto worst = std::max_element(gaps.begin(), gaps.end());
    std::printf("interface thread's longest gap (worst of 5): %.1f ms, %.1f ms of it working\n",
                *worst, gap_cpu[static_cast<std::size_t>(worst - gaps.begin())]);
    std::printf("gui_search_1m: %.1f ms to the first results shown (median of 5)\n", median(first));
}

void memory() {
    bench::TempApplication temp;
    const SharedPtr<TreeEntry> node = million_files(temp);
    DesktopServices desktop(nullptr);
    SearchDialog dialog(temp.application(), desktop, node, {});
    dialog.show();
    run_dialog(dialog, "*.zip");  // the view's and the model's own costs come first
    const std::size_t before = mallinfo2().uordblks;
    const DialogRun run = run_dialog(dialog, "");
    const std::size_t after = mallinfo2().uordblks;
    std::printf("rows %d\n", run.rows);
    std::printf("gui_search_memory: %.2f bytes\n", static_cast<double>(after - before) / run.rows);
}

}  // namespace

int main(int argc, char** argv) {
    bench::default_to_offscreen();
    QApplication qt(argc, argv);
    const std::string name = argc > 1 ? argv[1] : "";
    try {
        if (name == "gui_search_1m")
            search_1m();
        else if (name == "gui_search_memory")
            memory();
        else {
            std::fprintf(stderr, "usage: %s gui_search_1m | gui_search_memory\n", argv[0]);
            return 2;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
