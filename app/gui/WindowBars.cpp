#include "app/gui/WindowBars.h"

#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/gui/CommandActions.h"

namespace tovan {

void WindowBars::build_toolbar(QMainWindow& window, const CommandActions& actions, QMenu* back,
                               QMenu* forward) {
    QToolBar* bar = window.addToolBar(QMainWindow::tr("Toolbar"));
    bar->setObjectName("toolbar");
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    const auto button = [&](Command command, const char* label, QMenu* menu = nullptr) {
        QAction* action = actions[command];
        action->setIconText(QMainWindow::tr(label));
        bar->addAction(action);
        if (menu == nullptr)
            return;
        auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        tool->setMenu(menu);
        tool->setPopupMode(command == Command::New ? QToolButton::InstantPopup
                                                   : QToolButton::MenuButtonPopup);
    };
    button(Command::Back, "Back", back);
    button(Command::Forward, "Forward", forward);
    button(Command::Up, "Up");
    bar->addSeparator();
    auto* add = new QMenu(&window);
    for (Command command : {Command::NewGroup, Command::NewLocalFolder, Command::NewNetworkServer,
                            Command::NewFtpServer})
        add->addAction(actions[command]);
    button(Command::New, "New", add);
    bar->addSeparator();
    auto* sync = new QMenu(&window);
    for (Command command : {Command::Synchronize, Command::SynchronizeAll, Command::UpdateStatus,
                            Command::UpdateAllStatuses})
        sync->addAction(actions[command]);
    button(Command::Synchronize, "Sync", sync);
    button(Command::Stop, "Stop");
    bar->addSeparator();
    button(Command::ShowOnlineOnly, "Online");
    button(Command::ShowChangedOnly, "Changes");
    bar->addSeparator();
    button(Command::NextChange, "Next");
    button(Command::Unmark, "Unmark");
    button(Command::Options, "Options");
}

void WindowBars::build_menus(QMainWindow& window, const CommandActions& actions) {
    const auto add = [&](QMenu* menu, std::initializer_list<Command> commands) {
        for (Command command : commands) menu->addAction(actions[command]);
    };
    QMenu* file = window.menuBar()->addMenu(QMainWindow::tr("&File"));
    QMenu* add_menu = file->addMenu(QMainWindow::tr("&New"));
    add(add_menu, {Command::NewGroup, Command::NewLocalFolder, Command::NewNetworkServer,
                   Command::NewFtpServer});
    add(file, {Command::DownloadTo});
    file->addSeparator();
    add(file, {Command::SaveState});
    file->addSeparator();
    add(file, {Command::Quit});

    QMenu* edit = window.menuBar()->addMenu(QMainWindow::tr("&Edit"));
    add(edit, {Command::Copy, Command::CopyUrl, Command::Remove, Command::AddToIgnoreList});
    edit->addSeparator();
    add(edit, {Command::Search});
    edit->addSeparator();
    add(edit, {Command::EditFilter, Command::Options});

    QMenu* view = window.menuBar()->addMenu(QMainWindow::tr("&View"));
    add(view, {Command::Back, Command::Forward, Command::Up});
    view->addSeparator();
    add(view, {Command::ShowChangedOnly, Command::ShowOnlineOnly, Command::ShowScanTime,
               Command::ShowScanDepth});
    view->addSeparator();
    add(view, {Command::NextChange, Command::NextPane, Command::PreviousPane});

    QMenu* server = window.menuBar()->addMenu(QMainWindow::tr("&Server"));
    add(server, {Command::Synchronize, Command::SynchronizeAll, Command::UpdateStatus,
                 Command::UpdateAllStatuses, Command::Stop});
    server->addSeparator();
    QMenu* depth = server->addMenu(QMainWindow::tr("Scan &Depth"));
    add(depth, {Command::ScanDepth1, Command::ScanDepth2, Command::ScanDepth3, Command::NoScan});
    server->addSeparator();
    add(server, {Command::Unmark, Command::Open});

    QMenu* downloads = window.menuBar()->addMenu(QMainWindow::tr("&Downloads"));
    add(downloads, {Command::UrlToDownload});
    downloads->addSeparator();
    add(downloads, {Command::Resume, Command::Pause, Command::DownloadAgain});
    downloads->addSeparator();
    add(downloads, {Command::EditDownload, Command::OpenLocalFolder, Command::ViewTransferLog});
    downloads->addSeparator();
    add(downloads, {Command::PauseAll, Command::ResumeAll, Command::RemoveAllComplete});

    QMenu* help = window.menuBar()->addMenu(QMainWindow::tr("&Help"));
    add(help, {Command::About});
}

}  // namespace tovan
