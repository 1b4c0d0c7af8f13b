#pragma once

#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

class QWidget;

namespace tovan {

class Application;

// How a job made in a window starts, as `ferrovane-cli download` starts one: it
// joins the downloads list (or the unfinished job that already fetches the same
// to the same place goes on instead), is stored before it runs, so that a crash
// leaves a job that resumes, and resumes.
class JobStarter {
public:
    // The job that runs; a store that fails is told in a message box, and the
    // job runs all the same.
    static SharedPtr<Downloader> start(Application& application, SharedPtr<Downloader> job,
                                       QWidget* parent);
};

}  // namespace tovan
