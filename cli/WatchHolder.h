#pragma once

#include "app/DataHolder.h"
#include "app/SchedulerObservers.h"

namespace tovan {
class CatalogSaver;
}

namespace tovan::cli {

class Session;

// What `watch` lends to the commands other processes send it: its session's live
// data, its scheduler and the catalog saver beside it.
class WatchHolder : public DataHolder {
public:
    WatchHolder(Session& session, Scheduler& scheduler, CatalogSaver& saver)
        : session_(session), scheduler_(scheduler), saver_(saver) {}

    Document& document() override;
    Options& options() override;
    InternetSession* internet_session() override;
    Scheduler& scheduler() override { return scheduler_; }
    SchedulerObservers& scan_observers() override { return observers_; }
    void save_document() override;
    void save_options() override;
    // watch shows no tree; the scheduler reads the servers afresh at each tick.
    void data_changed() override {}

private:
    Session& session_;
    Scheduler& scheduler_;
    CatalogSaver& saver_;
    SchedulerObservers observers_;
};

}  // namespace tovan::cli
