#include "support/Figure.h"

int main(int argc, char** argv) {
    return bench::run_benchmarks(argc, argv);
}
