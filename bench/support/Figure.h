#pragma once

#include <string>

namespace bench {

// Records the headline figure of a benchmark; run_benchmarks() prints every
// recorded figure as "NAME: FIGURE UNIT" after all benchmarks ran.
void set_figure(const std::string& name, double value, const std::string& unit);

// Runs the Google benchmarks the command line selects, then prints the figures.
// The exit status of a benchmark program.
int run_benchmarks(int argc, char** argv);

}  // namespace bench
