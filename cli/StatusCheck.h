#pragma once

#include <vector>

#include "app/Document.h"
#include "app/Options.h"
#include "engine/tree/TreeEntry.h"

namespace tovan {
class InternetSession;
}

namespace tovan::cli {

// Learns which servers at or below the nodes are online, all at once, through
// the scheduler, before
// a command that depends on it. It writes nothing, so it may run on files read
// without the data folder's lock.
class StatusCheck {
public:
    // False when a stop was asked for before every check ended.
    static bool run(Document& document, const Options& options, InternetSession* session,
                    const std::vector<SharedPtr<TreeEntry>>& nodes);
};

}  // namespace tovan::cli
