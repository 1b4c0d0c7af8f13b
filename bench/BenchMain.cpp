#include <benchmark/benchmark.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "support/Figure.h"

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

}  // namespace bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& figure : bench::figures())
        std::printf("%s: %.2f %s\n", figure.name.c_str(), figure.value, figure.unit.c_str());
    return 0;
}
