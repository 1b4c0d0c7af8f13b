#pragma once

#include <vector>

#include "app/gui/Command.h"
#include "app/gui/TreeEditor.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

class QWidget;

namespace tovan {

class Application;
class DesktopServices;
class Scheduler;

// What the downloads list does to the jobs chosen in it: pause, resume,
// download again, edit the server settings, open the file or its folder, show
// the transfer log, remove.
class JobCommands {
public:
    JobCommands(Application& application, Scheduler& scheduler, QWidget* pane);

    void set_desktop(DesktopServices* desktop) { desktop_ = desktop; }
    bool can_run(Command command, const std::vector<SharedPtr<Downloader>>& jobs) const;
    void run(Command command, const std::vector<SharedPtr<Downloader>>& jobs);

private:
    void open(const std::string& location) const;
    void remove(const std::vector<SharedPtr<Downloader>>& jobs);
    void edit(const SharedPtr<Downloader>& job);

    Application& application_;
    QWidget* pane_;
    TreeEditor editor_;
    DesktopServices* desktop_ = nullptr;
};

}  // namespace tovan
