#pragma once

#include "app/DataHolder.h"

namespace tovan {

class Application;
class MainWindow;

// What the desktop program lends to the commands other processes send it: the
// window's live document, options and scheduler. Every call comes from the
// interface thread, where the window serves those commands on a timer.
class WindowHolder : public DataHolder {
public:
    WindowHolder(Application& application, MainWindow& window)
        : application_(application), window_(window) {}

    Document& document() override;
    Options& options() override;
    InternetSession* internet_session() override;
    Scheduler& scheduler() override;
    SchedulerObservers& scan_observers() override;
    void save_document() override;
    void save_options() override;
    // The tree, the list and the commands show what the client changed.
    void data_changed() override;

private:
    Application& application_;
    MainWindow& window_;
};

}  // namespace tovan
