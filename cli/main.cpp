#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return tovan::cli::CommandLine().run(argc, argv);
}
