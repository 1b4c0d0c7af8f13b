#include "support/Figure.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

namespace bench {
namespace {

struct Figure {
    std::string name;
    double value;
    std::string unit;
};

std::mutex figures_lock;
std::vector<Figure>& figures() {
    static std::vector<Figure> all;
    return all;
}

}  // namespace

void set_figure(const std::string& name, double value, const std::string& unit) {
    std::lock_guard guard(figures_lock);
    for (Figure& figure : figures()) {
        if (figure.name == name) {
            figure.value = value;
            figure.unit = unit;
            return;
        }
    }
    figures().push_back({name, value, unit});
}

int run_benchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const Figure& figure : figures()) {
        // Below 1, two decimals would hide the figure: three digits instead.
        const char* format = std::fabs(figure.value) < 1 ? "%s: %.3g %s\n" : "%s: %.2f %s\n";
        std::printf(format, figure.name.c_str(), figure.value, figure.unit.c_str());
    }
    return 0;
}

}  // namespace bench
