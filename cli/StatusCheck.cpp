#include "cli/StatusCheck.h"

#include <ctime>

#include "app/Scheduler.h"
#include "cli/StopSignal.h"

namespace tovan::cli {

bool StatusCheck::run(Document& document, const Options& options, InternetSession* session,
                      const std::vector<SharedPtr<TreeEntry>>& nodes) {
    Options quiet = options;
    quiet.auto_save = false;
    const StopSignal stop;
    Scheduler scheduler(document, quiet, session, std::time(nullptr));
    for (const SharedPtr<TreeEntry>& node : nodes) scheduler.start_scanning(node, {}, true, false);
    while (scheduler.has_running() && !StopSignal::requested()) {
        StopSignal::wait(std::chrono::milliseconds(50));
        scheduler.tick(std::time(nullptr));
    }
    scheduler.shut_down();
    return !StopSignal::requested();
}

}  // namespace tovan::cli
