// Starts as the desktop program does, on a data folder given, and measures the
// time from the process's start (as the kernel recorded it, so loading the
// program and its libraries counts) to the first paint event of the main window.
// It then ends at once: a normal end would save the document, which this
// benchmark does not measure.
//
// usage: ferrovane_gui_start DATA_DIR
// prints: first_paint_s
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "app/Application.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/gui/Icons.h"
#include "app/gui/InstanceChannel.h"
#include "app/gui/MainWindow.h"
#include "support/QtOffscreen.h"

namespace {

using namespace tovan;

// From the process's start time in /proc/self/stat (clock ticks since boot, so
// to 10 ms) to now on the same clock.
double seconds_since_process_start() {
    std::ifstream file("/proc/self/stat");
    std::string text;
    std::getline(file, text);
    // The program's name may hold spaces; the fields after it are plain numbers.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    // The start time is field 22, the 20th after the name.
    for (int index = 0; index < 20; ++index) fields >> field;
    const double started = std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - started;
}

// Ends the run at the window's first paint event.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && seconds_ < 0) {
            seconds_ = seconds_since_process_start();
            QApplication::exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
    double seconds() const { return seconds_; }

private:
    double seconds_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    bench::default_to_offscreen();
    // The same start as the desktop program's, without its dialogs.
    QApplication qt(argc, argv);
    QApplication::setApplicationName("ferrovane");
    QApplication::setApplicationDisplayName("Ferrovane");
    QApplication::setApplicationVersion("2.2");
    QApplication::setWindowIcon(Icons::application());
    QApplication::setQuitOnLastWindowClosed(false);

    Application::Settings settings;
    settings.data_dir = argv[1];
    settings.manages_autostart = false;
    Application application(settings);
    if (!application.start()) {
        std::fprintf(stderr, "%s\n", application.error().c_str());
        return 1;
    }
    for (const std::string& warning : application.load_warnings())
        std::fprintf(stderr, "%s\n", warning.c_str());
    MainWindow window(application);
    InstanceChannel channel;
    channel.listen(application.data_folder().path());
    DownloadList(application.document()->downloads()).resume_all(application.internet_session());
    FirstPaint first_paint;
    window.installEventFilter(&first_paint);
    window.show();
    window.run_startup_action();
    QApplication::exec();
    std::printf("first_paint_s %.3f\n", first_paint.seconds());
    std::fflush(stdout);
    std::_Exit(first_paint.seconds() < 0 ? 1 : 0);
}
