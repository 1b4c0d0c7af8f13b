#include <QApplication>

#include "support/Figure.h"
#include "support/QtOffscreen.h"

// The Google benchmarks of the windows, on a QApplication of their own; off
// screen unless QT_QPA_PLATFORM names another platform.
int main(int argc, char** argv) {
    bench::default_to_offscreen();
    QApplication qt(argc, argv);
    QApplication::setApplicationVersion("2.2");
    return bench::run_benchmarks(argc, argv);
}
