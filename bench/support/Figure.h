#pragma once

#include <string>

namespace bench {

// Records the headline figure of a benchmark; the benchmark program prints every
// recorded figure as "NAME: FIGURE UNIT" after all benchmarks ran.
void set_figure(const std::string& name, double value, const std::string& unit);

}  // namespace bench
