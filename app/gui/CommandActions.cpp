#include "app/gui/CommandActions.h"

#include <QKeySequence>

#include "app/gui/Icons.h"

namespace tovan {

namespace {

struct CommandText {
    Command command;
    const char* text;
    // Status bar text, then after a line break the tooltip; empty: the text.
    const char* tip;
    QList<QKeySequence> keys;
    const char* icon;        // our own drawing, empty for none
    const char* theme_icon;  // the desktop theme's, empty for none
    bool checkable;
};

// Ctrl+Q is Quit everywhere on Linux, so marking as viewed takes Ctrl+M. Made
// on first use: standard keys need the running application.
const std::vector<CommandText>& command_texts() {
    // clang-format off
    static const std::vector<CommandText> texts = {
        {Command::Back, "&Back", "Go back to the previous view\nBack", {QKeySequence::Back}, "go-back", "go-previous", false},
        {Command::Forward, "&Forward", "Go forward to the next view\nForward", {QKeySequence::Forward}, "go-forward", "go-next", false},
        {Command::Up, "&Up", "Select the item above the selected one\nUp", {Qt::Key_Backspace}, "go-up", "go-up", false},
        {Command::New, "&New", "Add a group or a server\nNew", {}, "new", "list-add", false},
        {Command::NewGroup, "&Group...", "Add a group below the selected group", {}, "", "", false},
        {Command::NewLocalFolder, "&Local Folder...", "Watch a folder of this computer", {}, "", "", false},
        {Command::NewNetworkServer, "&Network Server...", "Watch a share of a host of the network", {}, "", "", false},
        {Command::NewFtpServer, "&FTP Server...", "Watch an FTP server", {}, "", "", false},
        {Command::Synchronize, "&Synchronize the Selected", "Scan the selected server or folder for changes\nSync", {Qt::Key_F5}, "sync", "view-refresh", false},
        {Command::SynchronizeAll, "Synchronize &All", "Scan all servers\nScan changes on all servers", {Qt::CTRL | Qt::Key_F5}, "", "", false},
        {Command::UpdateStatus, "&Update the Selected Status", "Check whether the selected servers are online", {}, "", "", false},
        {Command::UpdateAllStatuses, "Update All S&tatuses", "Check all servers\nCheck online/offline servers status", {}, "", "", false},
        {Command::Stop, "S&top", "Stop the scans of the selected item\nStop", {Qt::Key_Escape}, "stop", "process-stop", false},
        {Command::ShowOnlineOnly, "Show &Online Servers Only", "Hide the servers that are offline\nOnline", {}, "online", "", true},
        {Command::ShowChangedOnly, "Show &Changed Items Only", "Show only what carries a change mark\nChanges", {}, "changes", "", true},
        {Command::ShowScanTime, "Show Scan &Time", "Show how long each scan took", {Qt::CTRL | Qt::Key_T}, "", "", true},
        {Command::ShowScanDepth, "Show Scan &Depth", "Show how deep each folder is scanned", {}, "", "", true},
        {Command::NextChange, "Go to the &Next Change", "Select the next changed item\nNext", {Qt::Key_F3, Qt::Key_F8, Qt::CTRL | Qt::Key_Period}, "next-change", "", false},
        {Command::Unmark, "&Mark As Viewed", "Clear the change marks of the selection\nUnmark", {Qt::CTRL | Qt::Key_M}, "unmark", "", false},
        {Command::Open, "&Open", "Open the selection with its application", {Qt::Key_Return, Qt::Key_Enter}, "", "document-open", false},
        {Command::Copy, "&Copy", "Copy the selection", {QKeySequence::Copy}, "", "edit-copy", false},
        {Command::CopyUrl, "Copy &URL", "Copy the URL of the selection", {}, "", "", false},
        {Command::Remove, "&Remove", "Remove the selection", {QKeySequence::Delete}, "", "edit-delete", false},
        {Command::ScanDepth1, "Scan Depth &1", "Scan one level deep", {Qt::CTRL | Qt::Key_1}, "", "", false},
        {Command::ScanDepth2, "Scan Depth &2", "Scan two levels deep", {Qt::CTRL | Qt::Key_2}, "", "", false},
        {Command::ScanDepth3, "Scan Depth &3", "Scan three levels deep", {Qt::CTRL | Qt::Key_3}, "", "", false},
        {Command::NoScan, "&No Scan", "Leave this folder out of scans", {Qt::CTRL | Qt::Key_0}, "", "", false},
        {Command::DownloadTo, "&Download To...", "Download the selection into a folder", {}, "", "document-save-as", false},
        {Command::AddToIgnoreList, "&Add To Ignore List...", "Leave such items out of the change marks", {}, "", "", false},
        {Command::Resume, "&Resume", "Go on with the selected downloads", {}, "", "media-playback-start", false},
        {Command::Pause, "&Pause", "Pause the selected downloads", {}, "", "media-playback-pause", false},
        {Command::DownloadAgain, "&Download Again", "Fetch the selected downloads once more", {}, "", "", false},
        {Command::EditDownload, "&Edit", "Change the server settings of the selected download", {}, "", "", false},
        {Command::OpenLocalFolder, "&Open Local Folder...", "Open the folder the download goes to", {}, "", "folder-open", false},
        {Command::ViewTransferLog, "&View Transfer Log...", "Show what the server answered", {}, "", "", false},
        {Command::PauseAll, "Pause &All", "Pause every download", {}, "", "", false},
        {Command::ResumeAll, "Resume A&ll", "Go on with every unfinished download", {}, "", "", false},
        {Command::RemoveAllComplete, "Remove All &Complete", "Take the finished downloads out of the list", {}, "", "", false},
        {Command::Search, "&Search...", "Find files in the catalogs by masks", {QKeySequence::Find}, "", "edit-find", false},
        {Command::UrlToDownload, "&URL to Download...", "Download a file from a URL", {}, "", "go-down", false},
        {Command::EditFilter, "Edit Scan Changes &Filter...", "Choose which changes get marked", {}, "", "", false},
        {Command::Options, "&Options...", "Change the settings\nOptions", {}, "options", "preferences-system", false},
        {Command::SaveState, "&Save", "Save the servers, catalogs and downloads", {QKeySequence::Save}, "", "document-save", false},
        {Command::NextPane, "Ne&xt Pane", "Move to the other pane", {Qt::Key_F6}, "", "", false},
        {Command::PreviousPane, "Pre&vious Pane", "Move to the other pane", {Qt::SHIFT | Qt::Key_F6}, "", "", false},
        {Command::About, "&About Ferrovane...", "Show the version of Ferrovane", {}, "", "help-about", false},
        {Command::Quit, "&Quit", "Save everything and end Ferrovane", {QKeySequence::Quit}, "", "application-exit", false},
    };
    // clang-format on
    return texts;
}

}  // namespace

CommandActions::CommandActions(QWidget* window) : QObject(window) {
    for (const CommandText& text : command_texts()) {
        auto* action = new QAction(tr(text.text), window);
        const QStringList tip = QString(text.tip).split('\n');
        action->setStatusTip(tip.front());
        action->setToolTip(tip.size() > 1 ? tip.back() : QString(text.text).remove('&'));
        action->setShortcuts(text.keys);
        action->setCheckable(text.checkable);
        if (*text.icon != '\0' || *text.theme_icon != '\0')
            action->setIcon(Icons::get(text.icon, text.theme_icon));
        // Keys work while the window has the focus, whichever pane holds it.
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        const Command command = text.command;
        connect(action, &QAction::triggered, this, [this, command] { emit triggered(command); });
        actions_[command] = action;
    }
}

}  // namespace tovan
