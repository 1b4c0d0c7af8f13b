#pragma once

namespace tovan {

// Everything the user can ask of the main window, from its menus, toolbar,
// keys, tray menu and the panes' context menus. The window routes each to the
// pane that has the focus, then to the tree, then handles it itself.
enum class Command {
    Back,
    Forward,
    Up,
    New,
    NewGroup,
    NewLocalFolder,
    NewNetworkServer,
    NewFtpServer,
    Synchronize,
    SynchronizeAll,
    UpdateStatus,
    UpdateAllStatuses,
    Stop,
    ShowOnlineOnly,
    ShowChangedOnly,
    ShowScanTime,
    ShowScanDepth,
    NextChange,
    Unmark,
    Open,
    Copy,
    CopyUrl,
    Remove,
    ScanDepth1,
    ScanDepth2,
    ScanDepth3,
    NoScan,
    DownloadTo,
    AddToIgnoreList,
    Resume,
    Pause,
    DownloadAgain,
    EditDownload,
    OpenLocalFolder,
    ViewTransferLog,
    PauseAll,
    ResumeAll,
    RemoveAllComplete,
    Search,
    UrlToDownload,
    EditFilter,
    Options,
    SaveState,
    NextPane,
    PreviousPane,
    About,
    Quit,
};

// A pane that takes commands: the window asks whether it handles one before
// asking whether it can run it now.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    virtual bool handles(Command command) const = 0;
    virtual bool can_run(Command command) const = 0;
    virtual void run(Command command) = 0;
};

}  // namespace tovan
