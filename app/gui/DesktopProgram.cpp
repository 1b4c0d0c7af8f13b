#include "app/gui/DesktopProgram.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/Application.h"
#include "app/ApplicationId.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/FirstPlace.h"
#include "app/gui/Icons.h"
#include "app/gui/InstanceChannel.h"
#include "app/gui/MainWindow.h"
#include "app/gui/StopSignals.h"
#include "app/gui/WindowHolder.h"
#include "app/widgets/Sentence.h"
#include "cli/CommandService.h"
#include "engine/catalog/Server.h"
#include "tovan/log/Log.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

namespace {

// How soon a command of another process is taken up; an idle turn only looks
// at a queue.
constexpr int CommandServeMs = 100;

// The name of a running process, empty when it cannot be read.
std::string process_name(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// Without a screen (tests, a session being set up) nobody could close a box.
bool can_show_boxes() {
    return QGuiApplication::platformName() != "offscreen" &&
           QGuiApplication::platformName() != "minimal";
}

void show_warnings(const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "ferrovane: %s\n", warning.c_str());
        if (can_show_boxes())
            QMessageBox::warning(nullptr, QObject::tr("Ferrovane"), as_sentence(warning));
    }
}

}  // namespace

int DesktopProgram::run(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("ferrovane");
    QApplication::setApplicationDisplayName("Ferrovane");
    QApplication::setApplicationVersion("2.2");
    QApplication::setDesktopFileName(ApplicationId);
    QApplication::setWindowIcon(Icons::application());
    // The window hides to the tray and dialogs open from the tray menu: the
    // program ends when the window says so, not when the last window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription("Keeps watch over folders, shares and FTP servers.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption data_dir("data-dir", "Keep the data in <folder>.", "folder");
    parser.addOption(data_dir);
    parser.process(qt);

    Application::Settings settings;
    settings.data_dir = parser.value(data_dir).toStdString();
    Application application(settings);
    if (!application.start()) {
        const DataFolder& folder = application.data_folder();
        if (folder.held_by() == 0)
            return fail(application.error());
        if (InstanceChannel::ask_to_show(folder.path())) {
            std::fprintf(stderr, "ferrovane: already running; its window is shown\n");
            return 0;
        }
        return fail(holder_message(folder.path(), folder.held_by()));
    }
    bool work_left = false;
    const int code = run_window(application, work_left);
    application.shut_down();
    if (work_left) {
        // Scans or downloads that would not stop still read the document and the
        // session; freeing them under those threads would crash. Everything is
        // saved by now.
        Log::flush();
        std::_Exit(code);
    }
    return code;
}

int DesktopProgram::run_window(Application& application, bool& work_left) {
    Document& document = *application.document();
    const SharedPtr<TreeEntry> first = FirstPlace::add_if_none(document);
    MainWindow window(application);
    if (first)
        window.set_message(QObject::tr("No servers yet: watching %1, %2 levels deep")
                               .arg(QString::fromStdString(first->server->url()))
                               .arg(FirstPlace::Depth));
    InstanceChannel channel;
    if (!channel.listen(application.data_folder().path()))
        warning_log(1) << "a second start will not find this window" << std::endl;
    QObject::connect(&channel, &InstanceChannel::show_requested, &window,
                     &MainWindow::bring_to_front);
    // Commands of ferrovane-cli run here while this window holds the data folder.
    WindowHolder holder(application, window);
    cli::CommandService commands(holder);
    if (!commands.start())
        warning_log(1) << "changing commands can't reach this window: " << commands.error()
                       << std::endl;
    QTimer serving;
    QObject::connect(&serving, &QTimer::timeout, &window, [&commands] { commands.serve(); });
    serving.start(CommandServeMs);
    const StopSignals stop;
    QObject::connect(&stop, &StopSignals::stop_requested, &window, &MainWindow::quit);
    DownloadList(document.downloads()).resume_all(application.internet_session());
    window.show();
    show_warnings(application.load_warnings());
    window.run_startup_action();
    const int code = QApplication::exec();
    serving.stop();
    commands.shut_down();
    window.shut_down();
    work_left = window.left_work_running();
    return code;
}

std::string DesktopProgram::holder_message(const std::string& data_folder, long pid) {
    const std::string name = pid > 0 ? process_name(pid) : std::string();
    std::string who = pid > 0 ? "process " + std::to_string(pid) : std::string("another process");
    if (!name.empty())
        who = name + " (" + who + ")";
    return "The data folder " + data_folder + " is in use by " + who +
           ". Stop it (Ctrl+C where it runs" + (pid > 0 ? ", or kill " + std::to_string(pid) : "") +
           ") and start Ferrovane again, or start it with --data-dir and another folder.";
}

int DesktopProgram::fail(const std::string& text) {
    std::fprintf(stderr, "ferrovane: %s\n", text.c_str());
    if (can_show_boxes())
        QMessageBox::critical(nullptr, QObject::tr("Ferrovane"), as_sentence(text));
    return 1;
}

}  // namespace tovan
