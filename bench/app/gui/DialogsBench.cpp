// How long each dialog takes from the command to its first paint, offscreen:
// built, filled, laid out, shown and painted. A dialog must feel instant, so the
// target is at most 150 ms each; the figure is the slowest dialog. A dialog is
// added as one more row of dialogs().
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Options.h"
#include "app/gui/FilterDialog.h"
#include "app/gui/GroupDialog.h"
#include "app/gui/LocalServerDialog.h"
#include "app/gui/SelectFolderDialog.h"
#include "app/gui/ShareBrowser.h"
#include "support/Figure.h"

namespace {

using namespace tovan;

struct DialogRow {
    const char* name;
    std::function<std::unique_ptr<QDialog>()> open;
};

Options& filled_options() {
    static Options options = [] {
        Options made;
        for (int at = 0; at < 40; ++at)
            made.download_folders.push_back("/srv/downloads/folder " + std::to_string(at));
        made.download_folder = made.download_folders.front();
        return made;
    }();
    return options;
}

std::vector<std::string> many_masks() {
    std::vector<std::string> masks;
    for (int at = 0; at < 200; ++at) masks.push_back("-*.part" + std::to_string(at));
    masks.push_back("*.*");
    return masks;
}

const std::vector<DialogRow>& dialogs() {
    static const std::vector<DialogRow> rows = {
        {"group", [] { return std::make_unique<GroupDialog>("Films"); }},
        {"local_folder",
         [] {
             return std::make_unique<LocalServerDialog>(
                 LocalServerDialog::Record{LocalServerDialog::Place::Local, "/srv/media/", ""});
         }},
        {"network_server",
         [] {
             return std::make_unique<LocalServerDialog>(
                 LocalServerDialog::Record{LocalServerDialog::Place::Network, "", ""});
         }},
        {"share_browser", [] { return std::make_unique<ShareBrowser>(""); }},
        {"filter", [] { return std::make_unique<FilterDialog>(many_masks()); }},
        {"select_folder", [] { return std::make_unique<SelectFolderDialog>(filled_options()); }},
    };
    return rows;
}

void make_application() {
    if (QApplication::instance() != nullptr)
        return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "ferrovane_bench";
    static char* argv[] = {name, nullptr};
    // Lives until the program ends, as the program's own does.
    new QApplication(argc, argv);
}

class PaintSeen : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

double open_ms(const DialogRow& row) {
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<QDialog> dialog = row.open();
    PaintSeen paint;
    dialog->installEventFilter(&paint);
    dialog->show();
    while (!paint.seen) QApplication::processEvents(QEventLoop::AllEvents, 10);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    dialog->hide();
    return ms;
}

double& worst_ms() {
    static double worst = 0;
    return worst;
}

void open_dialog(benchmark::State& state, const DialogRow& row) {
    make_application();
    // The first open of each dialog in the program loads its fonts, styles and
    // icons; shown apart from the figure, which is what the user meets each time.
    state.counters["first_ms"] = open_ms(row);
    double total = 0;
    for (auto _ : state) total += open_ms(row);
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["ms"] = mean;
    worst_ms() = std::max(worst_ms(), mean);
    bench::set_figure("gui_dialogs_open", worst_ms(), "ms");
}

const bool registered = [] {
    for (const DialogRow& row : dialogs())
        benchmark::RegisterBenchmark((std::string("gui_dialogs_open/") + row.name).c_str(),
                                     open_dialog, row)
            ->Iterations(20)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
