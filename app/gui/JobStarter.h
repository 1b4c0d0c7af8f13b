#pragma once

#include <vector>

#include "app/EntryDownload.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

class QWidget;

namespace tovan {

class Application;

// How the windows start a job: it joins the downloads list, unless an
// unfinished job already fetches the same to the same place, which then goes
// on instead; the list is stored before the job runs, so that a crash leaves a
// job that resumes. Returns the job that runs.
class JobStarter {
public:
    static SharedPtr<Downloader> start(Application& application, SharedPtr<Downloader> job,
                                       QWidget* parent);
    // Stores the downloads list and the options (the recent folders); says
    // so when they could not be saved.
    static bool store(Application& application, QWidget* parent);
    // "Download To...": asks for a folder, then starts one job per server of
    // the places. changed_only: only new and modified files below a folder.
    static void download_to(Application& application,
                            const std::vector<EntryDownload::Place>& places, bool changed_only,
                            QWidget* parent);

private:
    // The job in the downloads list, or the unfinished one that fetches the same.
    static SharedPtr<Downloader> join(Application& application, SharedPtr<Downloader> job);
};

}  // namespace tovan
